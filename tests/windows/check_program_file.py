#!/usr/bin/env python3
"""Checks a built Windows program file as Windows will load it:
    check_program_file.py EXE --machine i386|amd64 --subsystem gui|console --version X.Y.Z
the processor and subsystem, no link time (reproducible builds), only system
DLLs imported (the exe must run from a bare folder), the embedded application
manifest (the Windows versions it declares; the Common Controls 6 dependency
that gives the windows the current look and per-monitor DPI awareness, v2
first with v1 and true/pm to fall back on, since the windows scale
themselves; and neither an execution level, which would cut Horalia.ini off
from its VirtualStore, nor a code page) and the version resource."""
import argparse
import sys
import xml.etree.ElementTree as ElementTree

from pe_file import MACHINE_AMD64, MACHINE_I386, RT_MANIFEST, RT_VERSION, SUBSYSTEM_CONSOLE, SUBSYSTEM_GUI, PeFile

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
# A process with any of these is not redirected to the VirtualStore, or
# reads its text in another code page.
FORBIDDEN_ELEMENTS = ("trustInfo", "requestedExecutionLevel", "requestedPrivileges", "activeCodePage")
RUNTIME_DLLS = ("libstdc++", "libgcc", "libwinpthread")
COMMON_CONTROLS = {"type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
                   "publicKeyToken": "6595b64144ccf1df", "processorArchitecture": "*", "language": "*"}


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def manifest_faults(manifest):
    faults = []
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        return [f"the manifest is not well-formed XML: {error}"]
    names = {local_name(element.tag) for element in root.iter()}
    faults += [f"the manifest has <{name}>" for name in FORBIDDEN_ELEMENTS if name in names]
    declared = {element.get("Id", "").lower() for element in root.iter() if local_name(element.tag) == "supportedOS"}
    faults += [f"the manifest does not declare {system}" for guid, system in SUPPORTED_OS.items()
               if guid not in declared]

    controls = [element.attrib for element in root.iter() if local_name(element.tag) == "assemblyIdentity"
                and element.get("name") == COMMON_CONTROLS["name"]]
    if len(controls) != 1:
        faults.append(f"the manifest has {len(controls)} Common Controls dependencies, not one")
    else:
        faults += [f"the Common Controls dependency's {key} is {controls[0].get(key)!r}, not {value!r}"
                   for key, value in COMMON_CONTROLS.items() if controls[0].get(key) != value]

    def texts(name):
        return [(element.text or "").strip() for element in root.iter() if local_name(element.tag) == name]

    if texts("dpiAware") != ["true/pm"]:
        faults.append(f"dpiAware is {texts('dpiAware')}, not ['true/pm']")
    awareness = texts("dpiAwareness")
    if len(awareness) != 1 or [v.strip() for v in awareness[0].split(",")][:2] != ["PerMonitorV2", "PerMonitor"]:
        faults.append(f"dpiAwareness is {awareness}, not PerMonitorV2 then PerMonitor")
    return faults


def program_faults(path, machine, subsystem, version):
    pe = PeFile(path)
    faults = []
    wanted_machine = {"i386": MACHINE_I386, "amd64": MACHINE_AMD64}[machine]
    if pe.machine != wanted_machine or pe.is_pe32_plus != (machine == "amd64"):
        faults.append(f"machine {pe.machine:#x} (PE32+ {pe.is_pe32_plus}), wanted {machine}")
    wanted_subsystem = {"gui": SUBSYSTEM_GUI, "console": SUBSYSTEM_CONSOLE}[subsystem]
    if pe.subsystem != wanted_subsystem:
        faults.append(f"subsystem {pe.subsystem}, wanted {subsystem}")
    if pe.time_stamp != 0:
        faults.append(f"link time stamp {pe.time_stamp:#x}: two builds of one commit would differ")
    faults += [f"imports the runtime DLL {dll}, which a school PC does not have" for dll in pe.imported_dlls()
               if dll.lower().startswith(RUNTIME_DLLS)]
    manifest = pe.resource(RT_MANIFEST, 1)
    if manifest is None:
        faults.append("no application manifest (resource type 24, id 1)")
    else:
        faults += manifest_faults(manifest)
    version_resource = pe.resource(RT_VERSION, 1)
    if version_resource is None:
        faults.append("no version resource")
    else:
        for key in ("FileVersion", "ProductVersion"):
            entry = (key + "\0").encode("utf-16-le")
            at = version_resource.find(entry)
            if at < 0 or (version + "\0").encode("utf-16-le") not in version_resource[at:at + 80]:
                faults.append(f"the version resource's {key} is not {version}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("exe")
    parser.add_argument("--machine", choices=("i386", "amd64"), required=True)
    parser.add_argument("--subsystem", choices=("gui", "console"), required=True)
    parser.add_argument("--version", required=True)
    arguments = parser.parse_args()
    faults = program_faults(arguments.exe, arguments.machine, arguments.subsystem, arguments.version)
    for fault in faults:
        print(f"{arguments.exe}: {fault}", file=sys.stderr)
    if not faults:
        print(f"{arguments.exe}: {arguments.machine}, {arguments.subsystem}, manifest and version {arguments.version}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
