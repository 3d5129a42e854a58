#!/usr/bin/python3
"""check_update.py INTEROP_APPEND READ_TDBF SOURCE.DBF TAG WORKDIR

Copies a table TDbf wrote (with its .MDX) to WORKDIR, lets Ludaro append
rows to it, and passes when TDbf, walking TAG, still sees every live row."""

import glob
import os
import shutil
import subprocess
import sys

# Keys chosen where a binary and a linguistic order disagree.
APPENDED = {
    'TDBF4': [['CODIGO=ábd', 'NOMBRE=Engadida á', 'NUMERO=5'],
              ['CODIGO=Ñu', 'NOMBRE=Engadida ñ', 'NUMERO=-7'],
              ['CODIGO=aaa', 'NOMBRE=Engadida a', 'NUMERO=31']],
    'TDBF7': [['GRUPO=ñu', 'NOMEABREVGRUPXADE=Engadido ñ', 'ORDEN=4'],
              ['GRUPO=Ábacos', 'NOMEABREVGRUPXADE=Engadido Á', 'ORDEN=-9']],
}


def run(command):
    try:
        result = subprocess.run(command, capture_output=True, timeout=20)
    except subprocess.TimeoutExpired:
        sys.exit(f'{" ".join(command)}: still running after 20 s')
    if result.returncode != 0:
        sys.exit(f'{" ".join(command)}: exit status {result.returncode}\n'
                 f'{result.stderr.decode(errors="replace")}')
    return result.stdout.decode('utf-8')


def main(append, read_tdbf, source, tag, workdir):
    name = os.path.splitext(os.path.basename(source))[0]
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    for file in glob.glob(os.path.join(os.path.dirname(source), name + '.*')):
        if os.path.splitext(file)[1].lower() in ('.dbf', '.mdx'):
            shutil.copy(file, workdir)
    table = os.path.join(workdir, os.path.basename(source))
    for row in APPENDED[name]:
        run([append, workdir, name, *row])
    in_row_order = run([read_tdbf, table]).splitlines()
    through_tag = run([read_tdbf, table, tag]).splitlines()
    missing = sorted(set(in_row_order) - set(through_tag))
    if sorted(in_row_order) != sorted(through_tag):
        sys.stderr.write(f'TDbf walks {len(through_tag) - 1} of {len(in_row_order) - 1} live rows through tag {tag} '
                         f'after Ludaro appended to {name}; not seen:\n' + ''.join(l + '\n' for l in missing))
        return 1
    return 0


if __name__ == '__main__':
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
