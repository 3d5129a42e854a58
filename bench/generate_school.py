#!/usr/bin/python3
"""Writes a synthetic school of size N for the scaling run: the XADE export
the import reads (N lines in the groups file, N in the school's subject
offer, N in the teachers file), the level coding, and Horalia's solution
(SOLUC.DBF of N rows, DIASHORAST.DBF) that the export reads after it.

    /usr/bin/python3 bench/generate_school.py N OUTDIR

OUTDIR gets xade/ (the CSV files and coding.csv), horalia/ (SOLUC.DBF and
DIASHORAST.DBF) and proft.tsv (the teacher rows the import writes to PROFT,
cp1252, for the program that writes the same rows through another engine).

Deterministic: the same bytes for the same N. The data is shaped so that
every step does real work at every size and the abbreviations the import
hands out are known in advance, which is what lets SOLUC name groups,
subjects and teachers that exist:

- courses of two groups each (A and B); every tenth course belongs to the
  other convocatoria only, so its lines are read and left out;
- a group's abbreviation is NIVEL + CURSO + group name, unique by
  construction (NIVEL carries the course number in base 36);
- one group in five has a subgroup, named after its parent plus "1";
- two offer lines per course, subject keys shared by four courses each;
- each teacher listed for two groups, with capitals unique to them.
"""

import os
import shutil
import struct
import sys

ORDINARIA = "2025ORD"
EXTRAORDINARIA = "2025EXT"
DIGITS36 = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
HERE = os.path.dirname(os.path.abspath(__file__))
DIASHORAST = os.path.join(os.path.dirname(HERE), "samples", "horalia", "DIASHORAST.DBF")

GIVEN = ["ntía", "ndrés", "ugenia", "osé", "rea", "artiño", "ucía", "abela", "ago", "xía"]


def base36(number, width):
    text = ""
    for _ in range(width):
        text = DIGITS36[number % 36] + text
        number //= 36
    return text


def csv_field(value):
    # A blank outside quotes separates fields in XADE's files, as a comma does.
    if any(c in value for c in ' ,"'):
        return '"' + value.replace('"', '""') + '"'
    return value


class CsvFile:
    """A XADE export file: UTF-8 with a byte-order mark, CRLF lines."""

    def __init__(self, path, header):
        self.out = open(path, "w", encoding="utf-8-sig", newline="")
        self.row(header)

    def row(self, values):
        self.out.write(",".join(csv_field(v) for v in values) + "\r\n")

    def close(self):
        self.out.close()


class School:
    def __init__(self, n):
        self.n = n
        self.courses = max(1, n // 2)

    @staticmethod
    def convocatoria(course):
        return EXTRAORDINARIA if course % 10 == 9 else ORDINARIA

    @staticmethod
    def course_code(course):
        return str(1000000 + course)

    @staticmethod
    def nivel(course):
        return "N" + base36(course, 4)

    def group(self, line):
        """Course, group name and the abbreviation the import gives it."""
        course = line // 2
        name = "AB"[line % 2]
        return course, name, self.nivel(course) + "1" + name

    def subject_key(self, line):
        return "M" + base36((line // 2) % max(1, self.courses // 4) * 2 + line % 2, 5)

    @staticmethod
    def teacher(number):
        """Name, employee code and abbreviation (the name's capitals)."""
        capitals = ""
        rest = number
        for _ in range(5):
            capitals = LETTERS[rest % 26] + capitals
            rest //= 26
        name = "{}ázquez {}outo {}arballo, {}{} {}".format(capitals[0], capitals[1], capitals[2], capitals[3],
                                                         GIVEN[number % len(GIVEN)], capitals[4] + "ª")
        return name, "{:08d}".format(10000000 + number), capitals

    def ordinary_line(self, line):
        """The nearest groups line at or after `line` of an imported course."""
        while self.convocatoria(line // 2) != ORDINARIA:
            line += 2
        return line if line < self.n else 0


def write_xade(school, folder):
    n = school.n
    os.makedirs(folder, exist_ok=True)
    out = CsvFile(os.path.join(folder, "convocatoriasCentro.csv"), ["codigo", "descricion"])
    out.row([ORDINARIA, "Convocatoria ordinaria, curso 2025/2026"])
    out.row([EXTRAORDINARIA, "Convocatoria extraordinaria de materias pendentes"])
    out.close()

    groups = CsvFile(os.path.join(folder, "gruposCentro.csv"),
                     ["convocatoria", "codCurso", "codGrupo", "nomeGrupo", "nomeCurso", "nomeAbreviadoGrupo"])
    subgroups = CsvFile(os.path.join(folder, "subgruposCentro.csv"),
                        ["codGrupo", "codSubgrupo", "descricion", "nomeSubgrupo", "nomeAbreviadoSubgrupo"])
    for line in range(n):
        course, name, _ = school.group(line)
        code = str(10000000 + line)
        groups.row([school.convocatoria(course), school.course_code(course), code, name,
                    "Curso sintético nº %d, Educación Secundaria" % course, "C%d %s" % (course, name)])
        if line % 5 == 0:
            subgroups.row([code, str(20000000 + line), "Desdobramento de laboratorio", "Práctica %d" % line,
                           "P%d" % line])
    groups.close()
    subgroups.close()

    offer = CsvFile(os.path.join(folder, "materiasHorarioOfertaCentro.csv"),
                    ["codMateria", "codCurso", "codTarefa", "clave", "nome", "abreviatura"])
    for line in range(n):
        key = school.subject_key(line)
        offer.row([str(30000000 + line), school.course_code(line // 2), "0", key,
                   "Materia %s de Ciencias e Tecnoloxía" % key, key.lower()])
    offer.close()

    general = CsvFile(os.path.join(folder, "materiasHorarioOfertaXeral.csv"),
                      ["codMateria", "codCurso", "codTarefa", "clave", "nome", "abreviatura"])
    for line in range(max(5, n // 100)):
        # Half for courses of this school, half for courses it does not give.
        course = school.course_code(line % school.courses) if line % 2 == 0 else str(9000000 + line)
        general.row([str(40000000 + line), course, "0", "X" + base36(line, 5), "Materia xeral %d" % line,
                     "X%d" % line])
    general.close()

    activities = CsvFile(os.path.join(folder, "actividadesProfesor.csv"), ["codActividade", "clave", "nome"])
    for code, key, name in [("TTOR", "TITOR", "Titoría de grupo"), ("GARD", "GARDA", "Garda de recreo"),
                            ("XDEP", "XEFDEP", "Xefatura de Departamento")]:
        activities.row([code, key, name])
    activities.close()

    teachers = CsvFile(os.path.join(folder, "profesoresGrupoCentro.csv"),
                       ["codEmpregado", "codGrupo", "nome", "departamento"])
    for line in range(n):
        name, employee, _ = school.teacher(line // 2)
        teachers.row([employee, str(10000000 + (line * 7919) % n), name, "Departamento de Ciencias"])
    teachers.close()

    rooms = CsvFile(os.path.join(folder, "aulasCentro.csv"), ["codAula", "nome"])
    for room in range(max(20, n // 1000)):
        rooms.row(["A%d" % room, "Aula %d, planta %d" % (room, room % 4)])
    rooms.close()

    with open(os.path.join(folder, "coding.csv"), "w", encoding="utf-8", newline="") as out:
        out.write("CODCURSO,TURNO,NIVEL,CURSO\n")
        for course in range(school.courses):
            if school.convocatoria(course) == ORDINARIA:
                out.write("%s,%s,%s,1\n" % (school.course_code(course), "MT"[course % 2], school.nivel(course)))


def write_proft_rows(school, path):
    with open(path, "w", encoding="cp1252", newline="") as out:
        for number in range((school.n + 1) // 2):
            name, employee, abbreviation = school.teacher(number)
            out.write("%s\t%s\t%s\n" % (abbreviation, name, employee))


SOLUC_FIELDS = [("ASIG", "C", 10, 0), ("PROF", "C", 10, 0), ("CODGRUPO", "C", 10, 0), ("TURNO", "C", 1, 0),
                ("NIVEL", "C", 5, 0), ("CURSO", "C", 3, 0), ("GRUPO", "C", 1, 0), ("AULA", "C", 10, 0),
                ("DIA", "N", 5, 1), ("HORA", "N", 5, 1), ("SESIONES", "N", 5, 1)]


def soluc_rows(school):
    """Each row places a subject of a group's own course; one row in twenty
    is left unplaced (day 0) and one in fifty names its subgroup."""
    n = school.n
    for row in range(n):
        line = school.ordinary_line((row * 104729) % n)
        course, _, abbreviation = school.group(line)
        if row % 50 == 0 and line % 5 == 0:
            abbreviation += "1"
        subject = school.subject_key(course * 2 + row % 2)
        _, _, teacher = school.teacher((row * 31) % ((n + 1) // 2))
        day = 0 if row % 20 == 19 else 1 + row % 5
        hour = 1 + (row // 5) % 6
        yield [subject, teacher, abbreviation, "", "", "", "", "A%d" % (row % max(20, n // 1000)), day, hour, 1]


def write_soluc(school, path):
    """dBase III, as Horalia leaves it, written directly (python-dbf is too
    slow for a million rows)."""
    record_length = 1 + sum(f[2] for f in SOLUC_FIELDS)
    header_length = 32 + 32 * len(SOLUC_FIELDS) + 1
    with open(path, "wb") as out:
        # Byte 29 names the code page: 0x03 is Windows ANSI (cp1252).
        out.write(struct.pack("<BBBBIHH17xB2x", 0x03, 125, 9, 1, school.n, header_length, record_length, 0x03))
        for name, kind, width, decimals in SOLUC_FIELDS:
            out.write(struct.pack("<11sc4xBB14x", name.encode("ascii"), kind.encode("ascii"), width, decimals))
        out.write(b"\r")
        for values in soluc_rows(school):
            record = bytearray(b" ")
            for (_, kind, width, decimals), value in zip(SOLUC_FIELDS, values):
                if kind == "N":
                    text = ("%*.*f" % (width, decimals, value)).encode("ascii")
                else:
                    text = value.encode("cp1252").ljust(width)
                record += text
            out.write(record)
        out.write(b"\x1a")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: generate_school.py N OUTDIR")
    n = int(sys.argv[1])
    if n < 10:
        sys.exit("N must be at least 10")
    school = School(n)
    outdir = sys.argv[2]
    write_xade(school, os.path.join(outdir, "xade"))
    write_proft_rows(school, os.path.join(outdir, "proft.tsv"))
    horalia = os.path.join(outdir, "horalia")
    os.makedirs(horalia, exist_ok=True)
    write_soluc(school, os.path.join(horalia, "SOLUC.DBF"))
    shutil.copyfile(DIASHORAST, os.path.join(horalia, "DIASHORAST.DBF"))


if __name__ == "__main__":
    main()
