"""The HTML report read back by a real HTML parser: the names the fixture
school gives with <, >, & and " (and characters beyond Latin-1) must come
out as the very text typed, never as markup, and the page must fetch
nothing from elsewhere.

usage: report_html_check.py LUDARO_CLI FIXTURE_SCHOOL SCRATCH_DIR
"""

import html.parser
import os
import shutil
import subprocess
import sys

# Tags the renderer writes; any other would have come from the data.
OWN_TAGS = {"html", "head", "meta", "title", "style", "body", "h1", "h2", "h3", "ul", "li", "a", "strong", "p",
            "section", "table", "thead", "tbody", "tr", "th", "td", "details", "summary"}

# As the fixture's CSV files give them, quotes undone.
TYPED = [
    '«<b>Pérez</b> & "Antonio" 中文»',
    '«Matemáticas <aplicadas> & "máis" Ωμέγα»',
    '«Aula <uno> & "dos"»',
]


class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = set()
        self.attributes = []
        self.texts = []  # the text of each list item, whole
        self.in_item = 0
        self.item = ""
        self.lang = None

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        self.attributes.extend(attrs)
        if tag == "html":
            self.lang = dict(attrs).get("lang")
        if tag == "li":
            self.in_item += 1
            self.item = ""

    def handle_endtag(self, tag):
        if tag == "li" and self.in_item:
            self.in_item -= 1
            self.texts.append(self.item)

    def handle_data(self, data):
        if self.in_item:
            self.item += data


def main():
    cli, fixture, scratch = sys.argv[1:4]
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(os.path.join(scratch, "HTEMP"))
    report = os.path.join(scratch, "informe.html")
    subprocess.run([cli, "import", "--xade", fixture, "--htemp", os.path.join(scratch, "HTEMP"), "--coding",
                    os.path.join(fixture, "coding.csv"), "--report", report], check=True, capture_output=True)
    with open(report, "rb") as f:
        text = f.read().decode("utf-8")  # fails unless the page is UTF-8
    page = Page()
    page.feed(text)
    page.close()

    failures = []
    if page.lang != "es":
        failures.append("lang is %r, not 'es'" % page.lang)
    if page.tags - OWN_TAGS:
        failures.append("markup from the data: %s" % sorted(page.tags - OWN_TAGS))
    for name, value in page.attributes:
        if name in ("src", "href") and not (value or "").startswith("#"):
            failures.append("a reference outside the page: %s=%r" % (name, value))
    for typed in TYPED:
        if not any(typed in item for item in page.texts):
            failures.append("not shown as typed: %s" % typed)
    for failure in failures:
        print("FAILED:", failure)
    if not failures:
        print("ok: %d names shown as typed, %d items read" % (len(TYPED), len(page.texts)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
