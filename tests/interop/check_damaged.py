#!/usr/bin/python3
"""check_damaged.py LUDARO_CLI GOOD.DBF CASE WORKDIR

Damages a copy of a good table as CASE says and passes when `ludaro-cli dump`
refuses it: exit status 2, nothing on stdout, and one "error: " line on
stderr that names the file."""

import os
import struct
import subprocess
import sys


def cut_rows(data):
    header_length, record_length = struct.unpack_from('<HH', data, 8)
    count = struct.unpack_from('<I', data, 4)[0]
    return data[:header_length + (count - 1) * record_length + record_length // 2]


def set_count(count):
    return lambda data: data[:4] + struct.pack('<I', count) + data[8:]


def count_plus(extra):
    return lambda data: set_count(struct.unpack_from('<I', data, 4)[0] + extra)(data)


DAMAGE = {
    'rows_cut_short': cut_rows,
    'header_cut_short': lambda data: data[:40],
    'count_too_high': count_plus(3),
    'count_beyond_32_bits_of_rows': set_count(0xFFFFFFFF),
    'missing_file': None,
}


def main(cli, good, case, workdir):
    os.makedirs(workdir, exist_ok=True)
    table = os.path.join(workdir, case.upper() + '.DBF')
    if os.path.exists(table):
        os.remove(table)
    if DAMAGE[case]:
        with open(good, 'rb') as f:
            data = f.read()
        with open(table, 'wb') as f:
            f.write(DAMAGE[case](data))
    run = subprocess.run([cli, 'dump', table], capture_output=True)
    stderr = run.stderr.decode('utf-8', errors='replace')
    problems = []
    if run.returncode != 2:
        problems.append(f'exit status {run.returncode}, not 2')
    if run.stdout:
        problems.append(f'printed on stdout: {run.stdout[:200]!r}')
    if not stderr.startswith('error: ') or stderr.count('\n') != 1:
        problems.append('stderr is not one "error: " line')
    if os.path.basename(table) not in stderr:
        problems.append('the error does not name the file')
    if problems:
        sys.stderr.write(f'{case}: ' + '; '.join(problems) + f'\nstderr was:\n{stderr}')
        return 1
    return 0


if __name__ == '__main__':
    if len(sys.argv) != 5 or sys.argv[3] not in DAMAGE:
        sys.exit(__doc__ + '\nCASE: ' + ', '.join(DAMAGE))
    sys.exit(main(*sys.argv[1:]))
