#!/usr/bin/python3
"""run_import.py LUDARO-CLI SCHOOL HTEMP

Imports the school's extraordinaria convocatoria and then its ordinaria into
a fresh HTEMP, as two starts of the program would, each with the school's
coding.csv. The second import recovers and extends the coding the first one
saved, so CURSOST2's rows stand out of key order and a reader walking its
CODCURSO tag shows whether the index was kept up to date."""

import os
import shutil
import subprocess
import sys


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    cli, school, htemp = argv[1:]
    shutil.rmtree(htemp, ignore_errors=True)
    os.makedirs(htemp)
    for convocatoria in ('EXT', 'ORD'):
        command = [cli, 'import', '--xade', school, '--htemp', htemp, '--convocatoria', convocatoria,
                   '--coding', os.path.join(school, 'coding.csv')]
        run = subprocess.run(command, capture_output=True)
        if run.returncode != 0:
            sys.stderr.write(f'{" ".join(command)}: exit status {run.returncode}\n'
                             f'{run.stderr.decode(errors="replace")}')
            return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
