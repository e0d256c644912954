#!/usr/bin/env python3
"""Writes the release zip: Tavelo.scr and Tavelo.dll, README.txt (the
read-me with the version filled in) and LICENSE.txt, both as UTF-8 with a
byte-order mark and CRLF line ends so that Notepad shows them right.
Usage: make-zip.py OUT.zip VERSION BIN_DIR README LICENSE"""
import os
import sys
import zipfile

FIXED_TIME = (2026, 1, 1, 0, 0, 0)  # the same zip from the same files


def windows_text(text):
    return "\ufeff".encode("utf-8") + text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def add(archive, name, data):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.external_attr = 0o644 << 16
    archive.writestr(info, data)


def main(out, version, bin_dir, readme, licence):
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    temporary = out + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for program in ("Tavelo.scr", "Tavelo.dll"):
            with open(os.path.join(bin_dir, program), "rb") as f:
                add(archive, program, f.read())
        with open(readme, encoding="utf-8") as f:
            add(archive, "README.txt", windows_text(f.read().replace("@VERSION@", version)))
        with open(licence, encoding="utf-8") as f:
            add(archive, "LICENSE.txt", windows_text(f.read()))
    os.replace(temporary, out)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
