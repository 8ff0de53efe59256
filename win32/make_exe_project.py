#!/usr/bin/env python3
"""Writes the project of kelbo.exe's own resources: make_exe_project.py OUT.kbp --icon FILE.

The .KBP layout: "KELBO200", then for BITMAP, ICON, STRING and WAVE a signed 16-bit count and
per line a signed 16-bit length and the line's Windows-1252 bytes, all little-endian.
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
    args = parser.parse_args()
    # Icon 1: the first icon group, which Windows shows for the program.
    kinds = [[], ["1\t" + args.icon], [], []]
    data = b"KELBO200" + b"".join(section(lines) for lines in kinds)
    with open(args.output, "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
