#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files given: fixed order, the
time of SOURCE_DATE_EPOCH on every entry, no owner or permission of the
machine that built it.
    make_zip.py OUTPUT.zip FILE...
Each file goes in at the top level of the zip, under its own name."""
import os
import sys
import time
import zipfile


def main(output, files):
    epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "315532800"))
    # A zip cannot hold a time before 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    with zipfile.ZipFile(output, "w") as archive:
        for path in files:
            entry = zipfile.ZipInfo(os.path.basename(path), date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0
            entry.external_attr = 0
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])
