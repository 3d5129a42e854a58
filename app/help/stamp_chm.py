#!/usr/bin/env python3
"""Sets the build times a compiled help file carries (the ITSF header's and
those in its #SYSTEM file) to a given time, so that the same help
sources give the same bytes whenever they are compiled.
    stamp_chm.py FILE.CHM SECONDS_SINCE_1970
Every offset read from the file is checked against its size; a file that is
not laid out as expected is left untouched, with an error."""
import struct
import sys

FILETIME_AT_1970 = 116444736000000000  # 100-ns intervals from 1601 to 1970
SYSTEM_TIME_CODE = 10  # a 32-bit time of its own
SYSTEM_LANGUAGE_CODE = 4  # with a FILETIME after LCID, DBCS, full-text search, KLinks and ALinks
SYSTEM_LANGUAGE_TIME_OFFSET = 20


class ChmError(Exception):
    pass


def need(data, offset, size, what):
    if offset < 0 or offset + size > len(data):
        raise ChmError(f"{what} at {offset:#x} lies past the end of the file")


def encint(data, at):
    value = 0
    while True:
        need(data, at, 1, "a directory number")
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, at


def find_entry(data, directory_offset, wanted):
    """(section, offset, length) of the directory entry named `wanted`."""
    need(data, directory_offset, 0x54, "the directory header")
    if data[directory_offset:directory_offset + 4] != b"ITSP":
        raise ChmError("no ITSP directory header")
    header_length, = struct.unpack_from("<I", data, directory_offset + 8)
    chunk_size, = struct.unpack_from("<I", data, directory_offset + 0x10)
    chunk_count, = struct.unpack_from("<I", data, directory_offset + 0x2C)
    chunks = directory_offset + header_length
    for number in range(chunk_count):
        chunk = chunks + number * chunk_size
        need(data, chunk, chunk_size, "a directory chunk")
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        free, = struct.unpack_from("<I", data, chunk + 4)
        at, end = chunk + 20, chunk + chunk_size - free
        while at < end:
            length, at = encint(data, at)
            need(data, at, length, "an entry name")
            name = data[at:at + length]
            at += length
            section, at = encint(data, at)
            offset, at = encint(data, at)
            size, at = encint(data, at)
            if name == wanted:
                return section, offset, size
    raise ChmError(f"no {wanted.decode()} entry in the directory")


def stamp(data, epoch):
    if data[:4] != b"ITSF":
        raise ChmError("not a compiled help file (no ITSF header)")
    need(data, 0, 0x60, "the file header")
    version, = struct.unpack_from("<I", data, 4)
    if version != 3:
        raise ChmError(f"ITSF version {version}, not 3")
    directory_offset, = struct.unpack_from("<Q", data, 0x48)
    content_offset, = struct.unpack_from("<Q", data, 0x58)
    struct.pack_into(">I", data, 0x10, epoch & 0xFFFFFFFF)

    section, offset, size = find_entry(data, directory_offset, b"/#SYSTEM")
    if section != 0:
        raise ChmError("#SYSTEM is compressed")
    system = content_offset + offset
    at, end = system + 4, system + size
    need(data, system, size, "#SYSTEM")
    stamped = False
    while at + 4 <= end:
        code, length = struct.unpack_from("<HH", data, at)
        need(data, at + 4, length, f"#SYSTEM's entry {code}")
        if code == SYSTEM_TIME_CODE and length >= 4:
            struct.pack_into("<I", data, at + 4, epoch & 0xFFFFFFFF)
            stamped = True
        elif code == SYSTEM_LANGUAGE_CODE and length >= SYSTEM_LANGUAGE_TIME_OFFSET + 8:
            struct.pack_into("<Q", data, at + 4 + SYSTEM_LANGUAGE_TIME_OFFSET, FILETIME_AT_1970 + epoch * 10_000_000)
            stamped = True
        at += 4 + length
    if not stamped:
        raise ChmError("#SYSTEM holds no time")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    path, epoch = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as stream:
        data = bytearray(stream.read())
    try:
        stamp(data, epoch)
    except ChmError as error:
        sys.exit(f"{path}: {error}")
    with open(path, "wb") as stream:
        stream.write(data)


if __name__ == "__main__":
    main()
