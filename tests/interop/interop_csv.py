"""The CSV form every reader in these tests prints (the form of `ludaro-cli
dump`) and the comparison of a reader's output with what was written."""

import difflib
import sys


def format_value(value):
    """None blank; bool T/F; whole numbers without a point; other numbers in
    their shortest round-trip form; text without trailing blanks."""
    if value is None:
        return ''
    if isinstance(value, bool):
        return 'T' if value else 'F'
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return str(int(value)) if value.is_integer() else repr(value)
    return str(value).rstrip(' ')


def csv_field(text):
    if any(c in text for c in ',"\r\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def csv_line(values):
    return ','.join(csv_field(format_value(v)) for v in values) + '\n'


def write_csv(path, header, rows):
    with open(path, 'w', encoding='utf-8', newline='') as out:
        out.write(csv_line(header))
        for row in rows:
            out.write(csv_line(row))


def print_csv(header, rows):
    sys.stdout.buffer.write(''.join(csv_line(r) for r in [header, *rows]).encode('utf-8'))


def compare(expected_path, actual, label):
    """True when `actual` (text) equals the file; otherwise prints a diff."""
    with open(expected_path, encoding='utf-8', newline='') as f:
        expected = f.read()
    if actual == expected:
        return True
    diff = difflib.unified_diff(expected.splitlines(keepends=True), actual.splitlines(keepends=True),
                                fromfile=expected_path, tofile=label)
    sys.stderr.write(''.join(diff))
    return False
