#!/usr/bin/env python3
"""Writes the release zip and SHA256SUMS beside it.

Usage: release-zip.py --source DIR ZIP FILE...

The zip holds each FILE flat, in the order given, stamped with the time of
the commit the release is built from, so that one commit gives the same
zip in any folder at any time: SOURCE_DATE_EPOCH when it is set, as
reproducible builds have it, else the time of DIR's last commit. Outside a
git checkout the entries carry the earliest time a zip can hold, and say
so. SHA256SUMS, in the format sha256sum writes and reads, holds a line for
the zip and one for each file in it.
"""
import argparse
import hashlib
import os
import subprocess
import sys
import time
import zipfile

# A zip's times start at 1980, in the two-second steps of MS-DOS.
EARLIEST_ZIP_TIME = 315532800


def commit_time(source):
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout
        return int(out.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        print(f"release-zip: {source} is not a git checkout and SOURCE_DATE_EPOCH is not set; "
              "the zip's entries carry 1980-01-01", file=sys.stderr)
        return EARLIEST_ZIP_TIME


def entry(name, epoch):
    info = zipfile.ZipInfo(name, time.gmtime(max(epoch, EARLIEST_ZIP_TIME))[:6])
    # The same attributes whoever writes the zip, whatever the files' modes:
    # a plain file that unzip on Linux makes readable by all, and that
    # Windows sees as a normal file.
    info.create_system = 3
    info.external_attr = 0o100644 << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def sha256(path):
    with open(path, "rb") as file:
        return hashlib.sha256(file.read()).hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("zip")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    epoch = commit_time(args.source)
    os.makedirs(os.path.dirname(os.path.abspath(args.zip)), exist_ok=True)
    with zipfile.ZipFile(args.zip, "w") as archive:
        for path in args.files:
            with open(path, "rb") as file:
                archive.writestr(entry(os.path.basename(path), epoch), file.read(),
                                 compresslevel=9)
    sums = [(sha256(args.zip), os.path.basename(args.zip))]
    sums += [(sha256(path), os.path.basename(path)) for path in args.files]
    with open(os.path.join(os.path.dirname(os.path.abspath(args.zip)), "SHA256SUMS"), "w",
              newline="\n") as out:
        out.writelines(f"{digest}  {name}\n" for digest, name in sums)


if __name__ == "__main__":
    main()
