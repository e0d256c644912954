#!/usr/bin/env python3
"""Every system function the built Windows programs call is exported, by the
name they look it up by, from the system DLL they look it up in: the
loader's import directory (objdump -p) and the import tables of our own,
read from the programs themselves (each table's fill passes its DLL's name
and its {name, pointer} pairs; a function counts as called where code
outside the table refers to its stub or pointer). The DLLs are Wine's, of
the programs' architecture, so a wrong name or decoration fails here and not
on a user's machine where no 32-bit code runs.
Usage: check_system_imports.py OBJDUMP DLL_DIR PROGRAM...  (exit 77: no programs)"""
import os
import re
import struct
import subprocess
import sys


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, stdout=subprocess.PIPE, text=True).stdout


def exports(tool, dll):
    names, listing = set(), False
    for line in objdump(tool, "-p", dll).splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            listing = True
        elif listing and line.strip().startswith("["):
            names.add(line.split()[-1])
        else:
            listing = False
    return names


class Image:
    """A PE file's bytes by virtual address."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        sections, optional = struct.unpack_from("<HxxxxxxxxxxxxH", self.data, pe + 6)
        magic = struct.unpack_from("<H", self.data, pe + 24)[0]
        self.word = 8 if magic == 0x20B else 4
        self.base = struct.unpack_from("<Q" if self.word == 8 else "<I", self.data, pe + 24 + (24 if self.word == 8 else 28))[0]
        table = pe + 24 + optional
        self.sections = [struct.unpack_from("<8xIIII", self.data, table + 40 * i) for i in range(sections)]

    def at(self, address, size):
        rva = address - self.base
        for virtual_size, virtual, raw_size, raw in self.sections:
            if virtual <= rva < virtual + max(virtual_size, raw_size):
                return self.data[raw + rva - virtual:raw + rva - virtual + size]
        raise ValueError(hex(address))

    def word_at(self, address):
        return struct.unpack("<Q" if self.word == 8 else "<I", self.at(address, self.word))[0]

    def text_at(self, address):
        return self.at(address, 256).split(b"\0")[0].decode("latin-1")


def own_tables(tool, path):
    """{dll: {name: used}} for the tables of our own in the program."""
    image, lines = Image(path), objdump(tool, "-d", path).splitlines()
    addresses = lambda line: [int(a, 16) for a in re.findall(r"(?:0x|# |call +|jmp +)([0-9a-f]+)", line)]
    tables, block, fill = {}, None, []
    stubs, pointer_of = {}, {}
    for line in lines:
        label = re.match(r"^([0-9a-f]+) <(.+)>:$", line)
        if label:
            block, fill = label.group(2), []
            continue
        if block == "fill":
            fill += [int(a, 16) for a in re.findall(r"(?:push +\$0x|# )([0-9a-f]+)", line)]
            if "tavelo_fill_imports" in line:
                dll, table = sorted(fill[:2], key=lambda a: not image.text_at(a).lower().endswith(".dll"))
                entries, at = {}, table
                while image.word_at(at):
                    entries[image.word_at(at + image.word)] = image.text_at(image.word_at(at))
                    at += 2 * image.word
                tables[image.text_at(dll).lower()] = entries
    for line in lines:  # the stubs: one jump through a table's pointer
        stub = re.match(r"^ *([0-9a-f]+):\s+ff 25 .*jmp +\*", line)
        if stub:
            pointer_of[int(stub.group(1), 16)] = addresses(line)[-1]
    pointers = {p for entries in tables.values() for p in entries}
    stubs = {a: p for a, p in pointer_of.items() if p in pointers}
    used = set()
    for line in lines:
        at = re.match(r"^ *([0-9a-f]+):", line)
        if at and int(at.group(1), 16) not in stubs:
            for a in addresses(line):
                used.add(stubs.get(a, a))
    return {dll: {name: pointer in used for pointer, name in entries.items()} for dll, entries in tables.items()}


def loader_imports(tool, path):
    tables, dll = {}, None
    for line in objdump(tool, "-p", path).splitlines():
        if line.strip().startswith("DLL Name:"):
            dll = line.split(":", 1)[1].strip().lower()
            tables[dll] = {}
        elif dll and re.match(r"^\t[0-9a-f]+\s+\d+\s+\S+$", line):
            tables[dll][line.split()[-1]] = True
    return tables


def main(tool, dll_dir, programs):
    programs = [p for p in programs if os.path.exists(p)]
    if not programs:
        print("no built programs to check")
        return 77
    missing, checked = [], 0
    for program in programs:
        for kind, tables in (("own table", own_tables(tool, program)), ("import", loader_imports(tool, program))):
            for dll, functions in tables.items():
                known = exports(tool, os.path.join(dll_dir, dll))
                for name, used in functions.items():
                    checked += used
                    if used and name not in known:
                        missing.append(f"{os.path.basename(program)}: {kind} {dll}!{name}")
    print(f"{checked} functions called, each checked against {dll_dir}")
    print("\n".join(missing) or "all exported")
    return 1 if missing or checked == 0 else 0


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3:]))
