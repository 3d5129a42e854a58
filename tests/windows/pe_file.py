"""Reads what the release checks need from a Windows program file: machine,
subsystem, link time stamp, imported DLLs and resources. Every offset is
checked against the file's size, so a damaged file is an error, not a wrong
answer."""
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
RT_VERSION = 16
RT_MANIFEST = 24


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, path):
        self.path = path
        with open(path, "rb") as stream:
            self.data = stream.read()
        if self._u16(0) != 0x5A4D:
            raise PeError(f"{path}: no MZ header")
        pe = self._u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise PeError(f"{path}: no PE signature at {pe:#x}")
        coff = pe + 4
        self.machine = self._u16(coff)
        sections = self._u16(coff + 2)
        self.time_stamp = self._u32(coff + 4)
        optional_size = self._u16(coff + 16)
        optional = coff + 20
        magic = self._u16(optional)
        if magic not in (0x10B, 0x20B):
            raise PeError(f"{path}: unknown optional header magic {magic:#x}")
        self.is_pe32_plus = magic == 0x20B
        self.subsystem = self._u16(optional + 68)
        directories = optional + (112 if self.is_pe32_plus else 96)
        self._directories = [(self._u32(directories + 8 * i), self._u32(directories + 8 * i + 4))
                             for i in range(min(16, self._u32(directories - 4)))]
        table = optional + optional_size
        self._sections = []
        for i in range(sections):
            header = table + 40 * i
            self._sections.append((self._u32(header + 12), max(self._u32(header + 8), self._u32(header + 16)),
                                   self._u32(header + 20)))

    def _check(self, offset, size):
        if offset < 0 or offset + size > len(self.data):
            raise PeError(f"{self.path}: {size} bytes at {offset:#x} lie past the end of the file")

    def _u16(self, offset):
        self._check(offset, 2)
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        self._check(offset, 4)
        return struct.unpack_from("<I", self.data, offset)[0]

    def _offset(self, rva):
        for address, size, raw in self._sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise PeError(f"{self.path}: address {rva:#x} is in no section")

    def _c_string(self, offset):
        end = self.data.find(b"\0", offset)
        if end < 0:
            raise PeError(f"{self.path}: unterminated name at {offset:#x}")
        return self.data[offset:end].decode("ascii", "replace")

    def imported_dlls(self):
        if len(self._directories) < 2 or not self._directories[1][0]:
            return []
        names = []
        descriptor = self._offset(self._directories[1][0])
        while self._u32(descriptor + 12):
            names.append(self._c_string(self._offset(self._u32(descriptor + 12))))
            descriptor += 20
        return names

    def resource(self, type_id, name_id):
        """The bytes of the resource of that type and id in its first language, or None."""
        if len(self._directories) < 3 or not self._directories[2][0]:
            return None
        root = self._offset(self._directories[2][0])

        def entry(directory, wanted):
            named, numbered = self._u16(directory + 12), self._u16(directory + 14)
            for i in range(named + numbered):
                at = directory + 16 + 8 * i
                key, target = self._u32(at), self._u32(at + 4)
                if wanted is None or (not key & 0x80000000 and key == wanted):
                    return target
            return None

        level = root
        for wanted in (type_id, name_id, None):
            target = entry(level, wanted)
            if target is None:
                return None
            if wanted is None and target & 0x80000000:
                raise PeError(f"{self.path}: resource language entry is a directory")
            level = root + (target & 0x7FFFFFFF)
        rva, size = self._u32(level), self._u32(level + 4)
        start = self._offset(rva)
        self._check(start, size)
        return self.data[start:start + size]
