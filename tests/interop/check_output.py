#!/usr/bin/python3
"""check_output.py EXPECTED.csv -- COMMAND [ARG...]

Runs a reader and passes when it exits 0 and prints exactly EXPECTED.csv."""

import subprocess
import sys

from interop_csv import compare


def main(argv):
    if len(argv) < 4 or argv[2] != '--':
        sys.exit(__doc__)
    expected, command = argv[1], argv[3:]
    run = subprocess.run(command, capture_output=True)
    reader = ' '.join(command)
    if run.returncode != 0:
        sys.stderr.write(f'{reader}: exit status {run.returncode}\n{run.stderr.decode(errors="replace")}')
        return 1
    try:
        actual = run.stdout.decode('utf-8')
    except UnicodeDecodeError as error:
        sys.stderr.write(f'{reader}: output is not UTF-8: {error}\n')
        return 1
    if not compare(expected, actual, reader):
        sys.stderr.write(run.stderr.decode(errors='replace'))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
