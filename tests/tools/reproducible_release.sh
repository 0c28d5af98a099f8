#!/usr/bin/env bash
# Builds the release twice from the source tree's commit, in two clones at
# paths of different lengths, one after the other, and compares every byte
# of what ships: the zip, SHA256SUMS and each file in the zip. A build
# that kept a time, a folder or the order of a directory listing would
# differ.
#
# Usage: reproducible_release.sh SOURCE_TREE. Exits 77 (skipped) outside a
# git checkout.
set -euo pipefail

source_tree=$1
if ! commit=$(git -C "$source_tree" rev-parse HEAD 2>/dev/null); then
  echo "$source_tree is not a git checkout: nothing to clone; skipped"
  exit 77
fi
if [ -n "$(git -C "$source_tree" status --porcelain --untracked-files=no)" ]; then
  echo "note: the working tree has uncommitted changes; the builds are of commit $commit alone"
fi

first=$(mktemp -d /tmp/a-XXXXXX)
second=$(mktemp -d /tmp/b-XXXXXXXXXXXXXXXXXXXX)
trap 'rm -rf "$first" "$second"' EXIT

# The release of the commit, built in a fresh clone under $1.
build_release() {
  local clone=$1/holsterkeys
  git clone -q --no-checkout "$source_tree" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  echo "building the release of ${commit:0:12} in $clone at $(date -u +%H:%M:%S)"
  (cd "$clone" && cmake --preset win32 >/dev/null &&
    cmake --build --preset win32 --parallel "$(nproc)" --target release_zip >/dev/null)
}

build_release "$first"
# A time stamp in seconds, or a zip's in two-second steps, would now differ.
sleep 3
build_release "$second"

status=0
for file in "$first"/holsterkeys/build/win32/dist/*; do
  name=$(basename "$file")
  if ! cmp -s "$file" "$second/holsterkeys/build/win32/dist/$name"; then
    echo "$name differs between the builds, at these bytes (offset, then octal values):"
    cmp -l "$file" "$second/holsterkeys/build/win32/dist/$name" | head -20 || true
    status=1
  fi
done
# The files in the zip, byte for byte, besides their checksums.
for built in holsterkeys.dll holsterkeys-setup.exe holsterkeys-check.exe; do
  if ! cmp "$first/holsterkeys/build/win32/$built" "$second/holsterkeys/build/win32/$built"; then
    status=1
  fi
done
echo "SHA256SUMS of the first build:"
cat "$first/holsterkeys/build/win32/dist/SHA256SUMS"
echo "SHA256SUMS of the second build:"
cat "$second/holsterkeys/build/win32/dist/SHA256SUMS"
[ $status -eq 0 ] && echo "the two builds are the same, byte for byte"
exit $status
