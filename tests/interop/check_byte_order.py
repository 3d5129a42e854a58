#!/usr/bin/python3
"""check_byte_order.py ROWS.csv COLUMN -- COMMAND [ARG...]

Ludaro orders a character tag by the bytes of the stored cp1252 text, whatever
collation the table's language driver declares. This check expects the rows
of ROWS.csv (in row order) sorted stably by COLUMN's cp1252 bytes, blank-padded
as index keys are, and compares the command's output with that."""

import csv
import subprocess
import sys

from interop_csv import compare


def main(argv):
    if len(argv) < 5 or argv[3] != '--':
        sys.exit(__doc__)
    rows_file, column, command = argv[1], argv[2], argv[4:]
    text = open(rows_file, encoding='utf-8', newline='').read()
    lines = text.splitlines(keepends=True)
    header, data = lines[0], lines[1:]
    index = next(csv.reader([header])).index(column)
    width = max((len(next(csv.reader([line]))[index]) for line in data), default=0)
    key = lambda line: next(csv.reader([line]))[index].ljust(width).encode('cp1252', 'replace')
    expected = header + ''.join(sorted(data, key=key))
    run = subprocess.run(command, capture_output=True)
    if run.returncode != 0:
        sys.stderr.write(run.stderr.decode(errors='replace'))
        return 1
    expected_path = f'{rows_file[:-4]}.{column}.byte-order.csv'
    with open(expected_path, 'w', encoding='utf-8', newline='') as f:
        f.write(expected)
    return 0 if compare(expected_path, run.stdout.decode('utf-8'), ' '.join(command)) else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
