#!/usr/bin/env python3
"""Checks the application manifest embedded in a built exe (resource type 24,
id 1) for what the windows need: the Common Controls 6 dependency, which
gives them the current Windows look, and per-monitor DPI awareness (the
windows scale themselves), v2 first with v1 and true/pm to fall back on.

usage: manifest_windows_test.py PROGRAM.EXE
"""
import struct
import sys
import xml.etree.ElementTree as ET

RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"


def section_offset(sections, rva):
    for virtual_address, virtual_size, raw_offset, raw_size in sections:
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return raw_offset + rva - virtual_address
    raise ValueError(f"RVA {rva:#x} lies in no section")


def manifest_of(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise ValueError("not an exe")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE header")
    section_count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)  # PE32 or PE32+
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    sections = []
    for i in range(section_count):
        entry = optional + optional_size + 40 * i
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
        sections.append((virtual_address, virtual_size, raw_offset, raw_size))
    root = section_offset(sections, resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, root + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, root + directory + 16 + 8 * i)
            yield name, target

    def subdirectory(directory, wanted):
        for name, target in entries(directory):
            if not name & 0x80000000 and name == wanted and target & 0x80000000:
                return target & 0x7FFFFFFF
        raise ValueError(f"no resource entry {wanted}")

    names = subdirectory(0, RT_MANIFEST)
    languages = subdirectory(names, 1)
    _, leaf = next(entries(languages))
    data_rva, size = struct.unpack_from("<II", data, root + leaf)
    start = section_offset(sections, data_rva)
    return data[start:start + size]


def main():
    manifest = ET.fromstring(manifest_of(sys.argv[1]))
    failures = []
    identities = [
        dependent.find(ASM_V1 + "assemblyIdentity")
        for dependent in manifest.iter(ASM_V1 + "dependentAssembly")
    ]
    controls = [i for i in identities if i is not None and i.get("name") == "Microsoft.Windows.Common-Controls"]
    if len(controls) != 1:
        failures.append(f"expected one Common Controls dependency, found {len(controls)}")
    else:
        wanted = {"type": "win32", "version": "6.0.0.0", "publicKeyToken": "6595b64144ccf1df",
                  "processorArchitecture": "*", "language": "*"}
        for key, value in wanted.items():
            if controls[0].get(key) != value:
                failures.append(f"Common Controls {key}: expected {value!r}, got {controls[0].get(key)!r}")
    dpi_aware = [e.text.strip() for e in manifest.iter(SETTINGS_2005 + "dpiAware") if e.text]
    if dpi_aware != ["true/pm"]:
        failures.append(f"dpiAware: expected ['true/pm'], got {dpi_aware}")
    awareness = [e.text for e in manifest.iter(SETTINGS_2016 + "dpiAwareness") if e.text]
    listed = [v.strip() for v in awareness[0].split(",")] if len(awareness) == 1 else []
    if listed[:2] != ["PerMonitorV2", "PerMonitor"]:
        failures.append(f"dpiAwareness: expected PerMonitorV2 then PerMonitor, got {awareness}")
    for failure in failures:
        print("FAILED:", failure)
    if failures:
        return 1
    print("manifest entries for the windows: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
