#!/usr/bin/python3
"""write_python_dbf.py OUTDIR: python-dbf writes a dBase III table, PYDBF3.DBF,
in cp1252 with accented text, blank values and a deleted row, and beside it
PYDBF3.csv: its live rows as `ludaro-cli dump` must print them."""

import datetime
import os
import sys

import dbf

from interop_csv import write_csv

FIELDS = 'NOMBRE C(30); CURSO N(3,0); NOTA N(7,2); ACTIVO L; ALTA D'
ROWS = [
    ('Íñigo Núñez Ávila', 1, 7.5, True, datetime.date(2024, 9, 16)),
    ('Conceição «Ção» Brandão, 2º', -2, -0.25, False, datetime.date(1999, 12, 31)),
    ('Fila borrada ü', 3, 1.0, True, None),
    ('', None, None, None, None),
    ('Xosé "Pepe" Muñiz € … ª', 120, 1234.56, False, datetime.date(2000, 2, 29)),
    ('Çaña', 0, 0.0, True, None),
]
DELETED = {2}


def date_text(value):
    return value.strftime('%Y%m%d') if value else None


def main(folder):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, 'PYDBF3.DBF')
    table = dbf.Table(path, FIELDS, dbf_type='db3', codepage='cp1252')
    table.open(dbf.READ_WRITE)
    for number, row in enumerate(ROWS):
        table.append(row)
        if number in DELETED:
            dbf.delete(table[-1])
    table.close()
    header = [field.split()[0] for field in FIELDS.split('; ')]
    live = [(*row[:-1], date_text(row[-1])) for number, row in enumerate(ROWS) if number not in DELETED]
    write_csv(os.path.join(folder, 'PYDBF3.csv'), header, live)


if __name__ == '__main__':
    main(sys.argv[1])
