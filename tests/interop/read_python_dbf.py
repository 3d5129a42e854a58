#!/usr/bin/python3
"""read_python_dbf.py TABLE.DBF: the table's live rows, in row order, as CSV."""

import sys

import dbf

from interop_csv import print_csv

table = dbf.Table(sys.argv[1])
table.open(dbf.READ_ONLY)
fields = dbf.field_names(table)
rows = [[record[name] for name in fields] for record in table if not dbf.is_deleted(record)]
table.close()
print_csv([name.upper() for name in fields], rows)
