#!/usr/bin/python3
"""Writes the XADE export of a made-up secondary school, IES Illa de Arousa
Nova, into this folder: the eight CSV files Ludaro's import reads and the
coding file (coding.csv) a user would type into the level grid.

Deterministic: the same files on every run. Run it again after changing it
and commit what it writes.

    /usr/bin/python3 samples/school/generate.py
"""

import csv
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
ORDINARIA = "2025ORD"
EXTRAORDINARIA = "2025EXT"

# Course code, course name, short name, NIVEL, CURSO, groups. The names are
# long on purpose where XADE's are long; one goes past the 50 characters the
# course table keeps.
COURSES = [
    ("21001", "1º de Educación Secundaria Obrigatoria", "1º ESO", "ESO", "1", "ABCD"),
    ("21002", "2º de Educación Secundaria Obrigatoria", "2º ESO", "ESO", "2", "ABCD"),
    ("21003", "3º de Educación Secundaria Obrigatoria", "3º ESO", "ESO", "3", "ABC"),
    ("21004", "4º de Educación Secundaria Obrigatoria", "4º ESO", "ESO", "4", "ABC"),
    ("21013", "3º ESO, Programa de Diversificación Curricular", "3º PDC", "PDC", "3", "A"),
    ("21014", "4º ESO, Programa de Diversificación Curricular", "4º PDC", "PDC", "4", "A"),
    ("23101", "1º Bacharelato, Ciencias e Tecnoloxía", "1º BAC CT", "BACCT", "1", "AB"),
    ("23102", "2º Bacharelato, Ciencias e Tecnoloxía", "2º BAC CT", "BACCT", "2", "AB"),
    ("23201", "1º Bacharelato, Humanidades e Ciencias Sociais", "1º BAC HCS", "BACHS", "1", "AB"),
    ("23202", "2º Bacharelato, Humanidades e Ciencias Sociais", "2º BAC HCS", "BACHS", "2", "A"),
    ("23301", "1º Bacharelato de Artes", "1º BAC Artes", "BACAR", "1", ["Artes Escénicas", "Artes Plásticas"]),
    ("25101", "1º Ciclo Formativo de Grao Básico en Servizos Administrativos", "1º FPB SA", "FPB", "1", "A"),
    ("25102", "2º Ciclo Formativo de Grao Básico en Servizos Administrativos", "2º FPB SA", "FPB", "2", "A"),
    ("26101", "1º Ciclo Medio de Xestión Administrativa", "1º CM XA", "CMXA", "1", "A"),
    ("26102", "2º Ciclo Medio de Xestión Administrativa", "2º CM XA", "CMXA", "2", "A"),
    ("26201", "1º Ciclo Medio de Sistemas Microinformáticos e Redes", "1º CM SMR", "CMSMR", "1", "AB"),
    ("26202", "2º Ciclo Medio de Sistemas Microinformáticos e Redes", "2º CM SMR", "CMSMR", "2", "A"),
    ("27101", "1º Ciclo Superior de Administración e Finanzas (réxime ordinario, modalidade presencial)",
     "1º CS AF", "CSAF", "1", ["A", "Dual"]),
    ("27102", "2º Ciclo Superior de Administración e Finanzas (réxime ordinario, modalidade presencial)",
     "2º CS AF", "CSAF", "2", ["A", "Dual"]),
    ("27201", "1º Ciclo Superior de Desenvolvemento de Aplicacións Web", "1º CS DAW", "CSDAW", "1", "A"),
    ("27202", "2º Ciclo Superior de Desenvolvemento de Aplicacións Web", "2º CS DAW", "CSDAW", "2", "A"),
    ("29001", "Educación Secundaria para Persoas Adultas, Módulo I", "ESA I", "ESA", "1", ["Nocturno"]),
    ("29002", "Educación Secundaria para Persoas Adultas, Módulo II", "ESA II", "ESA", "2", ["Nocturno", "Distancia"]),
]

# The extraordinaria convocatoria has the courses with pending exams of the
# Bacharelato and the cycles, one group each.
EXTRAORDINARIA_COURSES = ["23102", "23202", "26102", "26202", "27102", "27202"]

# Subject key text, name, XADE short name, for which kind of course.
SUBJECTS = {
    "ESO": [
        ("LCL", "Lingua Castelá e Literatura", "LCL"),
        ("LGL", "Lingua Galega e Literatura", "LGL"),
        ("MAT", "Matemáticas", "MAT"),
        ("XH", "Xeografía e Historia", "XH"),
        ("BX", "Bioloxía e Xeoloxía", "BX"),
        ("FQ", "Física e Química", "FQ"),
        ("ING", "Primeira Lingua Estranxeira (Inglés)", "ING"),
        ("FR", "Segunda Lingua Estranxeira (Francés)", "FR"),
        ("EF", "Educación Física", "EF"),
        ("EPVA", "Educación Plástica, Visual e Audiovisual", "EPVA"),
        ("MUS", "Música", "MUS"),
        ("TEC", "Tecnoloxía e Dixitalización", "TEC"),
        ("REL", "Relixión", "REL"),
        ("AE", "Atención Educativa", "AE"),
    ],
    "BAC": [
        ("LCL", "Lingua Castelá e Literatura", "LCL"),
        ("LGL", "Lingua Galega e Literatura", "LGL"),
        ("ING", "Primeira Lingua Estranxeira (Inglés)", "ING"),
        ("FILO", "Filosofía", "FIL"),
        ("HFILO", "Historia da Filosofía", "HFIL"),
        ("HE", "Historia de España", "HE"),
        ("MATCC", "Matemáticas Aplicadas ás Ciencias Sociais", "MACS"),
        ("MATII", "Matemáticas II", "MAT2"),
        ("FIS", "Física", "FIS"),
        ("QUI", "Química", "QUI"),
        ("DT", "Debuxo Técnico II", "DT2"),
        ("LAT", "Latín", "LAT"),
        ("ECO", "Economía, Emprendemento e Actividade Empresarial", "EEAE"),
        ("DA", "Debuxo Artístico", "DA"),
    ],
    "FP": [
        ("MP0437", "Comunicación empresarial e atención á clientela", "CEAC"),
        ("MP0438", "Operacións administrativas de compravenda", "OAC"),
        ("MP0439", "Empresa e Administración", "EA"),
        ("MP0440", "Tratamento informático da información", "TII"),
        ("MP0221", "Montaxe e mantemento de equipamentos", "MME"),
        ("MP0224", "Sistemas operativos locais", "SOL"),
        ("MP0225", "Redes locais", "RL"),
        ("MP0612", "Desenvolvemento web en contorno cliente", "DWEC"),
        ("MP0613", "Desenvolvemento web en contorno servidor", "DWES"),
        ("MP0650", "Xestión de recursos humanos", "XRH"),
        ("MP0652", "Xestión financeira", "XF"),
        ("MP0FOL", "Formación e orientación laboral", "FOL"),
    ],
}

# Subjects of the general offer: the same layout, some for courses this
# school does not give (left out on import), some with a task code.
GENERAL_SUBJECTS = [
    ("91001", "21001", "0", "PROXI", "Proxecto Interdisciplinar", "PI"),
    ("91002", "21002", "0", "PROXI", "Proxecto Interdisciplinar", "PI"),
    ("91003", "99999", "0", "CHIN", "Lingua Chinesa", "CHI"),
    ("91004", "21004", "TTOR", "TITOR", "Titoría de grupo", "TIT"),
    ("91005", "99998", "GARD", "GARDA", "Garda de recreo", "GAR"),
]

ACTIVITIES = [
    ("TTOR", "TITOR", "Titoría de grupo"),
    ("GARD", "GARDA", "Garda de recreo"),
    ("XDEP", "XEFDEP", "Xefatura de Departamento"),
    ("BIBL", "BIBLIO", "Biblioteca, dinamización da lectura"),
    ("COFO", "COFORM", "Coordinación de formación do profesorado"),
]

GIVEN_NAMES = ["María José", "Xosé Manuel", "Ana", "Brais", "Uxía", "Iago", "Antía", "Xoán", "Lucía", "Martiño",
               "Sabela", "Andrés", "Noelia", "Óscar", "Begoña", "Íñigo", "Rosalía", "Adrián", "Iria", "Fernando"]
SURNAMES = ["García", "López", "Castro", "Pereira", "Fernández", "Otero", "Núñez", "Rodríguez", "Vázquez",
            "Míguez", "Souto", "Lamas", "Carballo", "Seoane", "Piñeiro", "Domínguez", "Álvarez", "Iglesias",
            "Rivas", "Mosquera", "Outeiro", "Bouzas"]

ROOMS = [
    ("A101", "Aula 1.01, planta baixa"), ("A102", "Aula 1.02, planta baixa"), ("A103", "Aula 1.03"),
    ("A201", "Aula 2.01"), ("A202", "Aula 2.02"), ("A203", "Aula 2.03"), ("A204", "Aula 2.04"),
    ("LABFQ", "Laboratorio de Física e Química"), ("LABBX", "Laboratorio de Bioloxía"),
    ("INF1", "Aula de Informática 1"), ("INF2", "Aula de Informática 2"), ("TEC", "Taller de Tecnoloxía"),
    ("MUS", "Aula de Música"), ("PLAS", "Aula de Plástica, \"A Oliveira\""), ("XIM", "Ximnasio"),
    ("PAV", "Pavillón deportivo"), ("BIB", "Biblioteca"), ("SUM", "Salón de actos"),
    ("ADM1", "Aula de Administración 1"), ("ADM2", "Aula de Administración 2"),
]


def subjects_of(nivel):
    if nivel in ("ESO", "PDC", "ESA"):
        return SUBJECTS["ESO"]
    if nivel.startswith("BAC"):
        return SUBJECTS["BAC"]
    return SUBJECTS["FP"]


def groups_of(course):
    names = course[5]
    return list(names) if isinstance(names, str) else names


def csv_field(value):
    # A blank outside quotes separates fields in XADE's files just as a comma
    # does, so every text with a blank, comma or quote goes in quotes.
    if any(c in value for c in ' ,"'):
        return '"' + value.replace('"', '""') + '"'
    return value


def write_csv(name, header, rows):
    # XADE writes UTF-8 with a byte-order mark and ends lines with CRLF.
    lines = [",".join(csv_field(value) for value in row) for row in [header] + list(rows)]
    with open(os.path.join(HERE, name), "w", encoding="utf-8-sig", newline="") as out:
        out.write("\r\n".join(lines) + "\r\n")


def main():
    rng = random.Random(20252026)
    group_rows, subgroup_rows = [], []
    group_code = 450000
    subgroup_code = 880000
    groups_of_course = {}
    for convocatoria, courses in ((ORDINARIA, [c[0] for c in COURSES]), (EXTRAORDINARIA, EXTRAORDINARIA_COURSES)):
        for course in COURSES:
            if course[0] not in courses:
                continue
            names = groups_of(course) if convocatoria == ORDINARIA else ["A"]
            for name in names:
                group_code += 1
                short = course[2] + " " + name
                group_rows.append((convocatoria, course[0], str(group_code), name, course[1], short))
                groups_of_course.setdefault((convocatoria, course[0]), []).append(str(group_code))
                # Practical splits: laboratories in the Bacharelato and 4º ESO,
                # two halves in the computing cycles.
                splits = []
                if course[3].startswith("BAC") and convocatoria == ORDINARIA:
                    splits = [("Desdobramento de laboratorio, prácticas", "Lab. Física", "LabF"),
                              ("Desdobramento de laboratorio, prácticas", "Lab. Química", "LabQ")]
                elif course[0] == "21004":
                    splits = [("Agrupamento flexible", "Reforzo", "Ref"), ("Agrupamento flexible", "Ampliación", "Amp")]
                elif course[3] in ("CMSMR", "CSDAW"):
                    splits = [("Medio grupo", "Quenda 1", "Q1"), ("Medio grupo", "Quenda 2", "Q2"),
                              ("Medio grupo", "Quenda 3", "Q3")]
                for description, sub_name, sub_short in splits:
                    subgroup_code += 1
                    subgroup_rows.append((str(group_code), str(subgroup_code), description, sub_name, sub_short))

    write_csv("convocatoriasCentro.csv", ["codigo", "descricion"], [
        (ORDINARIA, "Convocatoria ordinaria, curso 2025/2026"),
        (EXTRAORDINARIA, "Convocatoria extraordinaria de materias pendentes"),
    ])
    write_csv("gruposCentro.csv",
              ["convocatoria", "codCurso", "codGrupo", "nomeGrupo", "nomeCurso", "nomeAbreviadoGrupo"], group_rows)
    write_csv("subgruposCentro.csv",
              ["codGrupo", "codSubgrupo", "descricion", "nomeSubgrupo", "nomeAbreviadoSubgrupo"], subgroup_rows)

    offer_rows = []
    subject_code = 60000
    for course in COURSES:
        for key, name, short in subjects_of(course[3]):
            subject_code += 1
            offer_rows.append((str(subject_code), course[0], "0", key, name, short))
    write_csv("materiasHorarioOfertaCentro.csv",
              ["codMateria", "codCurso", "codTarefa", "clave", "nome", "abreviatura"], offer_rows)
    write_csv("materiasHorarioOfertaXeral.csv",
              ["codMateria", "codCurso", "codTarefa", "clave", "nome", "abreviatura"], GENERAL_SUBJECTS)
    write_csv("actividadesProfesor.csv", ["codActividade", "clave", "nome"], ACTIVITIES)

    teachers = []
    used = set()
    while len(teachers) < 48:
        name = "{} {}, {}".format(rng.choice(SURNAMES), rng.choice(SURNAMES), rng.choice(GIVEN_NAMES))
        if name in used:
            continue
        used.add(name)
        teachers.append(("{:08d}".format(rng.randrange(10000000, 99999999)), name))
    teacher_rows = []
    all_groups = [code for codes in groups_of_course.values() for code in codes]
    for index, (employee, name) in enumerate(teachers):
        # A teacher is listed once per group taught.
        for group in rng.sample(all_groups, 1 + index % 4):
            teacher_rows.append((employee, group, name, "Departamento " + rng.choice(["de Linguas", "de Ciencias",
                                                                                      "de Humanidades",
                                                                                      "de Informática"])))
    write_csv("profesoresGrupoCentro.csv", ["codEmpregado", "codGrupo", "nome", "departamento"], teacher_rows)
    write_csv("aulasCentro.csv", ["codAula", "nome"], ROOMS)

    coding = [("CODCURSO", "TURNO", "NIVEL", "CURSO")]
    for course in COURSES:
        shift = "T" if course[3] in ("ESA", "CSDAW") else "M"
        coding.append((course[0], shift, course[3], course[4]))
    with open(os.path.join(HERE, "coding.csv"), "w", encoding="utf-8", newline="") as out:
        csv.writer(out, lineterminator="\n").writerows(coding)


if __name__ == "__main__":
    main()
