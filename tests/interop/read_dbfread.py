#!/usr/bin/python3
"""read_dbfread.py TABLE.DBF: the table's live rows, in row order, as CSV."""

import sys

import dbfread

from interop_csv import print_csv

table = dbfread.DBF(sys.argv[1], char_decode_errors='strict')
print_csv(table.field_names, [list(record.values()) for record in table])
