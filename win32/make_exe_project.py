#!/usr/bin/env python3
"""Writes the project of kelbo.exe's own resources:
make_exe_project.py OUT.kbp --icon FILE.ico --version 2.12

The .KBP layout: "KELBO200", then for BITMAP, ICON, STRING and WAVE a signed 16-bit count and
per line a signed 16-bit length and the line's Windows-1252 bytes, all little-endian; then
"KELBOEXT" and, per newer kind that holds lines, its 4-byte tag and its lines the same way.
"""
import argparse
import struct


def section(lines):
    out = struct.pack("<h", len(lines))
    for line in lines:
        data = line.encode("cp1252")
        out += struct.pack("<h", len(data)) + data
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("output")
    parser.add_argument("--icon", required=True)
    parser.add_argument("--version", required=True)
    args = parser.parse_args()
    number = ".".join((args.version.split(".") + ["0"] * 4)[:4])
    # Icon 1: the first icon group, which Windows shows for the program.
    original = [[], ["1\t" + args.icon], [], []]
    manifest = [
        "id=1",
        "name=Kelbo.ResourceCompiler",
        "version=" + number,
        "description=Kelbo resource compiler",
        "controls=6",
        "dpi=permonitorv2",
        "level=asInvoker",
        "os=all",
    ]
    version = [
        "FileVersion=" + number,
        "ProductVersion=" + number,
        "FileDescription=Kelbo resource compiler",
        "InternalName=kelbo",
        "OriginalFilename=kelbo.exe",
        "ProductName=Kelbo",
    ]
    data = b"KELBO200" + b"".join(section(lines) for lines in original)
    data += b"KELBOEXT" + b"MANI" + section(manifest) + b"VERS" + section(version)
    with open(args.output, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
