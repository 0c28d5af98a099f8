#!/usr/bin/env python3
"""The message catalogue: every sentence players read, extracted from the
code's say() and say_count() calls and the categories' names in words.

  messages.py update   writes po/holsterkeys.pot anew and brings every
                       catalogue in po/ up to date with it
  messages.py check    fails when the template is not what the code says,
                       when a catalogue is incomplete or its placeholders
                       differ from English, or when a sentence for players
                       stands in the code outside the catalogue
"""
import os
import re
import subprocess
import sys
import tempfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEMPLATE = os.path.join(TOP, 'po', 'holsterkeys.pot')
# The code whose words players read: the players' library and the two programs.
FOLDERS = ['text', 'bindings', 'keys', 'files', 'advice', 'live', 'tools/check', 'tools/setup']
KEYWORDS = ['--keyword=say:1', '--keyword=say_count:1,2', '--keyword=words:1',
            '--keyword=Category:3']
# Literals with words that are not for the catalogue, and why.
NOT_SENTENCES = {
    # The first line of a file the writer makes: a remark in the player's
    # file, whose names and codes are English wherever it is read.
    '; holsterkeys: the key code of each weapon category. Check it with holsterkeys-check.\r\n',
    # How Windows names copies of a file, in some of its languages.
    'copy of ', 'kopie von ', 'copie de ',
}
# Lines whose literals are for maintainers or are data: what the compiler
# says when a rule of the code is broken, the names of the rows of a table
# of rules ({"name", applies, find}), and the rows of the tables of the
# names of keys ({0x21, "Page Up"}), by which files name keys and which are
# read back.
FOR_MAINTAINERS = re.compile(
    r'static_assert|throw "|^\s*\{"[^"]*", \w+, \w+\},?\s*$'
    r'|^\s*(\{0x[0-9A-F]{2}, (?:words\()?"(?:[^"\\]|\\.)*"\)?\},?\s*)+(//.*)?$')


def sources():
    found = []
    for folder in FOLDERS:
        for root, _, names in os.walk(os.path.join(TOP, folder)):
            for name in sorted(names):
                if name.endswith(('.cpp', '.h')):
                    found.append(os.path.relpath(os.path.join(root, name), TOP))
    return sorted(found)


def xgettext(*options, header=True):
    result = subprocess.run(
        ['xgettext', '--language=C++', '--from-code=UTF-8', '--no-wrap',
         *([] if header else ['--omit-header']),
         '--add-comments=TRANSLATORS:', '-o', '-', *options, *sources()],
        cwd=TOP, check=True, capture_output=True, encoding='utf-8', errors='replace')
    # Without its header, xgettext would write no character set and drop
    # every letter beyond ASCII; the header is the template's own.
    entries = result.stdout.strip().split('\n\n')
    return '\n\n'.join(entry for entry in entries if '\nmsgid ""\nmsgstr ""\n' not in
                        '\n' + entry + '\n') + '\n'


HEADER = '''# The sentences and labels that holsterkeys-check and holsterkeys-setup
# show players. Placeholders in braces, such as {category}, stand for facts
# filled in when the text is shown: keep each one, in the place your
# language puts it; they are never translated.
msgid ""
msgstr ""
"Project-Id-Version: holsterkeys\\n"
"Content-Type: text/plain; charset=UTF-8\\n"
"Content-Transfer-Encoding: 8bit\\n"
"Plural-Forms: nplurals=INTEGER; plural=EXPRESSION;\\n"
'''


def with_brace_format(entries):
    """Marks every message as python-brace-format, which gettext's own
    check knows: a translation must keep the English placeholders."""
    marked = []
    for entry in entries.strip().split('\n\n'):
        lines = [line for line in entry.split('\n') if not line.startswith('#, ')]
        at = next(i for i, line in enumerate(lines) if line.startswith('msgid'))
        lines.insert(at, '#, python-brace-format')
        marked.append('\n'.join(lines))
    return '\n\n'.join(marked) + '\n'


def template():
    return HEADER + '\n' + with_brace_format(xgettext('--keyword=', *KEYWORDS, '--sort-output',
                                                      '--add-location=file'))


def catalogues():
    folder = os.path.join(TOP, 'po')
    return sorted(os.path.join(folder, name) for name in os.listdir(folder)
                  if name.endswith('.po'))


def english_catalogue(pot_path, po_path):
    subprocess.run(['msgen', '--no-wrap', '-o', po_path, pot_path], check=True)
    with open(po_path, encoding='utf-8') as po:
        text = po.read()
    text = text.replace('"Plural-Forms: nplurals=INTEGER; plural=EXPRESSION;\\n"',
                        '"Language: en\\n"\n"Plural-Forms: nplurals=2; plural=(n != 1);\\n"')
    with open(po_path, 'w', encoding='utf-8') as po:
        po.write(text)


def update():
    with open(TEMPLATE, 'w', encoding='utf-8') as pot:
        pot.write(template())
    for po_path in catalogues():
        if os.path.basename(po_path) == 'en.po':
            english_catalogue(TEMPLATE, po_path)
        else:
            subprocess.run(['msgmerge', '--quiet', '--update', '--backup=none', '--no-wrap',
                            po_path, TEMPLATE], check=True)
    if not os.path.exists(os.path.join(TOP, 'po', 'en.po')):
        english_catalogue(TEMPLATE, os.path.join(TOP, 'po', 'en.po'))


def msgids(po_text):
    ids = set()
    for match in re.finditer(r'^msgid(?:_plural)? ((?:"(?:[^"\\]|\\.)*"\n?)+)', po_text, re.M):
        parts = re.findall(r'"((?:[^"\\]|\\.)*)"', match.group(1))
        ids.add(''.join(parts).encode().decode('unicode_escape').encode('latin-1').decode('utf-8'))
    return ids


def for_maintainers(place):
    path, line = place.rsplit(':', 1)
    with open(os.path.join(TOP, path), encoding='utf-8') as source:
        return FOR_MAINTAINERS.search(source.read().split('\n')[int(line) - 1]) is not None


def literals_outside_the_catalogue():
    """Literals with words in them that no say() call holds."""
    # Without a header xgettext drops the letters beyond ASCII, so the two
    # lists are compared without them.
    def skeleton(text):
        return ''.join(c for c in text if ord(c) < 128)
    marked = {skeleton(text) for text in msgids(xgettext('--keyword=', *KEYWORDS))}
    # Every literal, some of which are no text at all: without a header,
    # which would make them be read as UTF-8.
    every = xgettext('--extract-all', '--add-location=full', header=False)
    problems = []
    for entry in every.strip().split('\n\n'):
        places = re.findall(r'#: (\S+)', entry)
        texts = msgids(entry)
        if not texts:
            continue
        text = texts.pop()
        if skeleton(text) in marked or text in NOT_SENTENCES:
            continue
        if not re.search(r'[A-Za-z]{2,}[ ,][ ]?[A-Za-z]{2,}', text):
            continue
        files = {place.split(':')[0] for place in places}
        if all(for_maintainers(place) for place in places):
            continue
        problems.append('%s: "%s"' % (' '.join(places), text))
    return problems


def check():
    failures = []
    with open(TEMPLATE, encoding='utf-8') as pot:
        if pot.read() != template():
            failures.append('po/holsterkeys.pot is not what the code says: run '
                            'python3 tools/messages.py update, and review the diff')
    for po_path in catalogues():
        name = os.path.relpath(po_path, TOP)
        result = subprocess.run(['msgfmt', '--check', '--statistics', '-o', os.devnull, po_path],
                                capture_output=True, text=True)
        report = (result.stdout + result.stderr).strip()
        if result.returncode != 0 or 'untranslated' in report or 'fuzzy' in report:
            failures.append('%s: %s' % (name, report))
        with open(po_path, encoding='utf-8') as po, open(TEMPLATE, encoding='utf-8') as pot:
            missing = msgids(pot.read()) - msgids(po.read())
        if missing:
            failures.append('%s lacks %d messages of the template, such as "%s"'
                            % (name, len(missing), sorted(missing)[0]))
    for literal in literals_outside_the_catalogue():
        failures.append('a sentence outside the catalogue: ' + literal)
    for failure in failures:
        print(failure)
    if not failures:
        print('The catalogue holds every sentence, and every language has all of them.')
    return 1 if failures else 0


if __name__ == '__main__':
    if sys.argv[1:] == ['update']:
        update()
    elif sys.argv[1:] == ['check']:
        sys.exit(check())
    else:
        print(__doc__)
        sys.exit(2)
