#!/usr/bin/python3
"""Writes Horalia's side of the sample school into this folder: the timetable
solution SOLUC.DBF and the day-and-hour table DIASHORAST.DBF that Horalia
would leave in the working folder after timetabling the tables Ludaro's
import wrote for samples/school, and HORARIO.expected.csv, the lines
`ludaro-cli export` must then write to HORARIO.CSV (UTF-8 here; the export
writes them in cp1252 with CRLF).

It runs the import itself, so the codes in SOLUC are the ones the import
hands out. Deterministic: the same files on every run. Run it again after
changing it, or after a change to the import's abbreviations, and commit what
it writes:

    /usr/bin/python3 samples/horalia/generate.py BUILD/cli/ludaro-cli

Both tables are dBase III as python-dbf writes them. dBase III names fields
with at most 10 characters, so DIASHORAST lacks Horalia's SESION_ORDEN, which
the export does not read. The code fields of SOLUC are 10 characters wide,
as wide as the abbreviations of the import.
"""

import csv
import io
import os
import random
import subprocess
import sys
import tempfile

import dbf

HERE = os.path.dirname(os.path.abspath(__file__))
SCHOOL = os.path.join(os.path.dirname(HERE), "school")

DAYS = 5
# The six teaching hours of the school, as Horalia stores them.
HOURS = ["08:45:00", "09:40:00", "10:35:00", "11:50:00", "12:45:00", "13:40:00"]
MINUTES = 55
DAY_NAMES = {1: "Luns", 2: "Martes", 3: "Mércores", 4: "Xoves", 5: "Venres", 6: "Sábado", 7: "Domingo"}
# Header date of both tables, so that every run writes the same bytes.
STAMP = bytes([125, 9, 1])


def run_import(cli, htemp):
    subprocess.run([cli, "import", "--xade", SCHOOL, "--htemp", htemp,
                    "--coding", os.path.join(SCHOOL, "coding.csv")], check=True, stderr=subprocess.DEVNULL)


class Tables:
    """The import's tables, read through `ludaro-cli dump` (several are dBase 7)."""

    def __init__(self, cli, htemp):
        self.cli = cli
        self.htemp = htemp

    def read(self, table):
        dump = subprocess.run([self.cli, "dump", os.path.join(self.htemp, table + ".DBF")], check=True,
                              capture_output=True, encoding="utf-8").stdout
        return list(csv.DictReader(io.StringIO(dump)))


def stamp(path):
    with open(path, "r+b") as table:
        table.seek(1)
        table.write(STAMP)


def solve(tables):
    """The solution: each group's assignments placed into the 30 hours of its
    week in order, in blocks of two where two hours are left in the day; what
    does not fit stays unplaced (day 0). A few rows show what the export leaves
    out or handles specially: a teacher the import did not write, half-hour
    blocks, and a block whose slot DIASHORAST lacks."""
    rng = random.Random(20250901)
    teachers = [row["ABREV"] for row in tables.read("PROFT")]
    rooms = [row["ABREV"] for row in tables.read("AULAT")]
    assignments = tables.read("ASIGT")
    rows = []
    by_group = {}
    for assignment in assignments:
        by_group.setdefault(assignment["CGRUP"], []).append(assignment)
    for group in sorted(by_group):
        free = [(day, hour) for day in range(1, DAYS + 1) for hour in range(1, len(HOURS) + 1)]
        for assignment in by_group[group]:
            teacher = rng.choice(teachers)
            room = rng.choice(rooms)
            left = int(assignment["HORAS"] or 0)
            while left > 0:
                if not free:
                    rows.append((assignment["CASIG"], teacher, group, room, 0, 0, left))
                    break
                day, hour = free.pop(0)
                length = 2 if left >= 2 and free and free[0] == (day, hour + 1) else 1
                if length == 2:
                    free.pop(0)
                rows.append((assignment["CASIG"], teacher, group, room, day, hour, length))
                left -= length
    first = rows[0]
    rows += [
        (first[0], "NINGUN", first[2], first[3], 3, 2, 1),
        (first[0], first[1], first[2], first[3], 4, 2, 0.5),
        (first[0], first[1], first[2], first[3], 4, 3.5, 0.5),
        (first[0], first[1], first[2], first[3], 5, 6, 0.5),
    ]
    return rows


def write_soluc(path, rows):
    table = dbf.Table(path, "ASIG C(10); PROF C(10); CODGRUPO C(10); TURNO C(1); NIVEL C(5); CURSO C(3); "
                            "GRUPO C(1); AULA C(10); DIA N(5,1); HORA N(5,1); SESIONES N(5,1)",
                      dbf_type="db3", codepage="cp1252")
    table.open(dbf.READ_WRITE)
    for asig, prof, grupo, aula, dia, hora, sesiones in rows:
        table.append({"asig": asig, "prof": prof, "codgrupo": grupo, "aula": aula,
                      "dia": dia, "hora": hora, "sesiones": sesiones})
    table.close()
    stamp(path)


def slots():
    """One slot per teaching hour and day, numbered from 1 within the day."""
    for day in range(1, DAYS + 1):
        for number, start in enumerate(HOURS, 1):
            end_minutes = int(start[:2]) * 60 + int(start[3:5]) + MINUTES
            end = "%02d:%02d:00" % divmod(end_minutes, 60)
            yield day, number, start, end


def write_dias_horas(path):
    table = dbf.Table(path, "DIHO C(10); CODDIHO C(10); DIA C(20); TEXTODIA C(20); HORA C(8); TEXTOHOR C(15); "
                            "HORADESDE C(8); HORAHASTA C(8); MINUTOS C(8); PLANTILLA C(20)",
                      dbf_type="db3", codepage="cp1252")
    table.open(dbf.READ_WRITE)
    for day, number, start, end in slots():
        table.append({"diho": "D%dH%d" % (day, number), "coddiho": "%d%02d" % (day, number), "dia": str(day),
                      "textodia": DAY_NAMES[day], "hora": str(number), "textohor": "%dª hora" % number,
                      "horadesde": start, "horahasta": end, "minutos": str(MINUTES), "plantilla": "ORDINARIA"})
    table.close()
    stamp(path)


def expected_lines(tables, rows):
    """What XADE must get for the solution, from the codes it names."""
    groups = {}
    for row in tables.read("GRUPOST"):
        groups.setdefault(row["ABREV"], row)
    teachers = {row["ABREV"]: row["NOMBRE"] for row in tables.read("PROFT")}
    subjects = {}
    for row in tables.read("ASIGNOMT2"):
        subjects.setdefault((row["COD"], row["CODCURSO"]), row["ABREVXADE"])
    starts = {(day, number): start[:5] for day, number, start, _ in slots()}
    lines = []
    for asig, prof, grupo, aula, dia, hora, sesiones in rows:
        if dia == 0 or prof not in teachers:
            continue
        group = groups.get(grupo)
        course = group["CODCURSOXADE"] if group else ""
        text = (group["NOMEABREVSUBGRUXADE"] or group["NOMEABREVGRUPXADE"]) if group else ""
        if (asig, course) not in subjects:
            continue
        if sesiones == int(sesiones):
            times = [starts[(1, int(hora) + j)] for j in range(int(sesiones))]
        else:
            slot = 2 * int(hora) - 1 if hora == int(hora) else 2 * int(hora)
            times = [starts.get((dia, slot), "")]
        for time in times:
            fields = [str(len(lines) + 1), DAY_NAMES[dia], time, text, subjects[(asig, course)], teachers[prof], "",
                      aula]
            lines.append('"' + '","'.join(field.replace('"', '""') for field in fields) + '"')
    return lines


def main(cli):
    with tempfile.TemporaryDirectory() as htemp:
        run_import(cli, htemp)
        tables = Tables(cli, htemp)
        rows = solve(tables)
        write_soluc(os.path.join(HERE, "SOLUC.DBF"), rows)
        write_dias_horas(os.path.join(HERE, "DIASHORAST.DBF"))
        lines = expected_lines(tables, rows)
    with open(os.path.join(HERE, "HORARIO.expected.csv"), "w", encoding="utf-8", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)
    print("%d timetable rows, %d lines" % (len(rows), len(lines)))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: generate.py LUDARO_CLI")
    main(sys.argv[1])
