#!/usr/bin/env python3
"""The message catalogue: every sentence players read, extracted from the
code's say() and say_count() calls, the names of keys marked words() and
the categories' names in words.

  messages.py update        writes po/holsterkeys.pot anew and brings every
                            catalogue in po/ up to date with it
  messages.py check         fails when the template is not what the code
                            says, when a language's catalogue is missing or
                            incomplete, has fuzzy messages, placeholders
                            other than English's or the slips a translation
                            checker finds, or when a sentence for players
                            stands in the code outside the catalogue
  messages.py check LANG    the same for one language's catalogue alone
  messages.py compile OUT   writes the C++ source of the catalogues, each
                            compressed, that the programs carry
  messages.py pattern LANG ENGLISH
                            the translation of a template as an extended
                            regular expression, each placeholder ".*": what
                            a test looks for in a window
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
# The languages besides English, each with the plural forms that gettext
# and the programs give it.
LANGUAGES = {
    'de': 'nplurals=2; plural=(n != 1);',
    'es': 'nplurals=2; plural=(n != 1);',
    'fr': 'nplurals=2; plural=(n > 1);',
    'it': 'nplurals=2; plural=(n != 1);',
    'pl': 'nplurals=3; plural=(n==1 ? 0 : n%10>=2 && n%10<=4 && (n%100<10 || n%100>=20) ? 1 : 2);',
    'pt_BR': 'nplurals=2; plural=(n > 1);',
    'ru': 'nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && '
          '(n%100<10 || n%100>=20) ? 1 : 2);',
}
# The programs' names of those plural rules (text/catalogue.h).
PLURAL_RULES = {
    'nplurals=2; plural=(n != 1);': 'kOneOther',
    'nplurals=2; plural=(n > 1);': 'kOneUpOther',
    LANGUAGES['ru']: 'kSlavicEastern',
    LANGUAGES['pl']: 'kPolish',
}
# The slips that translate-toolkit's pofilter finds: placeholders, the '&'
# of an Alt key, brackets, the punctuation that ends a sentence, double
# blanks, and English left as it was. A message may stay as English has it
# where the translator says so in a comment: "# unchanged on purpose".
POFILTER_TESTS = ['pythonbraceformat', 'variables', 'accelerators', 'brackets', 'endpunc',
                  'doublespacing', 'untranslated', 'unchanged']

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


def unquoted(lines):
    """The text of a PO string written over one or more quoted lines."""
    text = ''.join(re.findall(r'"((?:[^"\\]|\\.)*)"', lines))
    escapes = {'n': '\n', 't': '\t', '"': '"', '\\': '\\', 'r': '\r'}
    return re.sub(r'\\(.)', lambda match: escapes.get(match.group(1), match.group(1)), text)


def messages_of(po_text):
    """Each translated message: its English template and its forms."""
    messages = {}
    for entry in po_text.split('\n\n'):
        if entry.lstrip().startswith('#~'):
            continue
        fields = dict(re.findall(r'^(msgid|msgid_plural|msgstr(?:\[\d\])?) ((?:".*"\n?)+)',
                                 entry + '\n', re.M))
        english = unquoted(fields.get('msgid', ''))
        forms = [unquoted(fields[key]) for key in sorted(fields) if key.startswith('msgstr')]
        # Where a translation is missing or in doubt, English is said, as
        # gettext does.
        if not english or not all(forms) or re.search(r'^#,.*\bfuzzy\b', entry, re.M):
            continue
        messages[english] = forms
    return messages


def english_hash(english):
    """FNV-1a over the template's UTF-8, as text/say.cpp finds a message."""
    value = 0x811C9DC5
    for byte in english.encode():
        value = ((value ^ byte) * 0x01000193) & 0xFFFFFFFF
    return value


def compressed(data):
    """LZ77 over bytes, as text/catalogue.h reads it."""
    out, literals, at, last = bytearray(), bytearray(), 0, {}

    def flush():
        for start in range(0, len(literals), 128):
            piece = literals[start:start + 128]
            out.append(len(piece) - 1)
            out.extend(piece)
        literals.clear()

    while at < len(data):
        best_length, best_back = 0, 0
        for candidate in last.get(bytes(data[at:at + 3]), [])[-64:]:
            back = at - candidate
            if back > 0xFFFF:
                continue
            length = 0
            while (length < 130 and at + length < len(data)
                   and data[candidate + length] == data[at + length]):
                length += 1
            if length > best_length:
                best_length, best_back = length, back
        if best_length >= 4:
            flush()
            out.append(0x80 | (best_length - 3))
            out.extend((best_back & 0xFF, best_back >> 8))
            for start in range(at, at + best_length):
                last.setdefault(bytes(data[start:start + 3]), []).append(start)
            at += best_length
        else:
            last.setdefault(bytes(data[at:at + 3]), []).append(at)
            literals.append(data[at])
            at += 1
    flush()
    return bytes(out)


def compile_catalogues(out_path):
    """The C++ source of every language's catalogue but English's."""
    lines = ['// Made by tools/messages.py compile from po/*.po; not to be edited.',
             '#include "text/catalogue.h"', '', 'namespace holsterkeys {', 'namespace {', '']
    table = []
    for language in sorted(LANGUAGES):
        po_path = os.path.join(TOP, 'po', language + '.po')
        if not os.path.exists(po_path):
            continue
        with open(po_path, encoding='utf-8') as po:
            text = po.read()
        plural = PLURAL_RULES[header_field(text, 'Plural-Forms')]
        data = bytearray()
        hashes = {}
        for english, forms in messages_of(text).items():
            hashes.setdefault(english_hash(english), []).append((english, forms))
        for key in sorted(hashes):
            if len(hashes[key]) > 1:
                raise SystemExit('two templates hash alike: %r' % [m[0] for m in hashes[key]])
            forms = hashes[key][0][1]
            data += key.to_bytes(4, 'little') + bytes([len(forms)])
            for form in forms:
                data += form.encode() + b'\0'
        if not data:
            continue
        packed = compressed(bytes(data))
        name = 'k' + language.replace('_', '')
        lines.append('constexpr unsigned char %s[] = {' % name)
        for start in range(0, len(packed), 16):
            lines.append('    ' + ', '.join(str(byte) for byte in packed[start:start + 16]) + ',')
        lines.append('};')
        table.append('    {"%s", PluralRule::%s, %s, sizeof %s, %d},'
                     % (language, plural, name, name, len(data)))
    lines += ['', '}  // namespace', '']
    if table:
        lines += ['const Catalogue kCatalogues[] = {'] + table + ['};']
    else:
        lines += ['const Catalogue kCatalogues[] = {{"", PluralRule::kOneOther, nullptr, 0, 0}};']
    lines += ['const std::size_t kCatalogueCount = %d;' % len(table), '', '}  // namespace holsterkeys',
              '']
    source = '\n'.join(lines)
    if os.path.exists(out_path):
        with open(out_path, encoding='utf-8') as old:
            if old.read() == source:
                return
    with open(out_path, 'w', encoding='utf-8') as out:
        out.write(source)


def pattern(language, english):
    text = english
    if language != 'en':
        with open(os.path.join(TOP, 'po', language + '.po'), encoding='utf-8') as po:
            text = messages_of(po.read()).get(english, [english])[0]
    parts = re.split(r'\{\w+\}', text)
    return '.*'.join(re.sub(r'([\\.^$|?*+()\[\]{}])', r'\\\1', part) for part in parts)


def header_field(po_text, field):
    match = re.search(r'^"%s: ([^"\\]*)\\n"$' % re.escape(field), po_text, re.M)
    return match.group(1) if match else None


def translation_slips(po_path, language):
    """What pofilter finds in a catalogue, but English kept on purpose."""
    with tempfile.TemporaryDirectory() as folder:
        found = os.path.join(folder, 'found.po')
        subprocess.run(['pofilter', '--kde', '--language=' + language.replace('_', '-'),
                        *['--test=' + test for test in POFILTER_TESTS], po_path, found],
                       check=True, capture_output=True)
        if not os.path.exists(found):
            return []
        with open(found, encoding='utf-8') as snippets:
            units = snippets.read().split('\n\n')
    slips = []
    for unit in units:
        tests = re.findall(r'^# \(pofilter\) (\w+): (.*)$', unit, re.M)
        if '# unchanged on purpose' in unit:
            tests = [test for test in tests if test[0] != 'unchanged']
        english = sorted(msgids(unit))
        for test, why in tests:
            slips.append('%s (%s): "%s"' % (why, test, english[0] if english else '?'))
    return slips


def check_catalogue(language, template_ids):
    name = 'po/%s.po' % language
    po_path = os.path.join(TOP, name)
    if not os.path.exists(po_path):
        return ['%s is missing: every sentence needs its translation' % name]
    failures = []
    with open(po_path, encoding='utf-8') as po:
        text = po.read()
    if header_field(text, 'Plural-Forms') != LANGUAGES.get(language, header_field(text,
                                                                                  'Plural-Forms')):
        failures.append('%s: Plural-Forms must be "%s"' % (name, LANGUAGES[language]))
    result = subprocess.run(['msgfmt', '--check', '--statistics', '-o', os.devnull, po_path],
                            capture_output=True, text=True)
    report = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or 'untranslated' in report or 'fuzzy' in report:
        failures.append('%s: %s' % (name, report))
    missing = template_ids - msgids(text)
    if missing:
        failures.append('%s lacks %d messages of the template, such as "%s"'
                        % (name, len(missing), sorted(missing)[0]))
    if language != 'en':
        failures += ['%s: %s' % (name, slip) for slip in translation_slips(po_path, language)]
    return failures


def check(only=None):
    failures = []
    with open(TEMPLATE, encoding='utf-8') as pot:
        pot_text = pot.read()
    if pot_text != template():
        failures.append('po/holsterkeys.pot is not what the code says: run '
                        'python3 tools/messages.py update, and review the diff')
    for language in [only] if only else ['en', *LANGUAGES]:
        failures += check_catalogue(language, msgids(pot_text))
    if not only:
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
    elif sys.argv[1:2] == ['pattern'] and len(sys.argv) == 4:
        print(pattern(sys.argv[2], sys.argv[3]))
    elif sys.argv[1:2] == ['compile'] and len(sys.argv) == 3:
        compile_catalogues(sys.argv[2])
    elif sys.argv[1:2] == ['check'] and len(sys.argv) <= 3:
        sys.exit(check(sys.argv[2] if len(sys.argv) == 3 else None))
    else:
        print(__doc__)
        sys.exit(2)
