#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (run from anywhere; the output is committed)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def kbp(kinds, signature=b"KELBO200"):
    out = signature
    for lines in kinds:
        out += struct.pack("<h", len(lines))
        for line in lines:
            out += struct.pack("<h", len(line)) + line
    return out


def bitmap(width, height, extra=b""):
    stride = (width * 3 + 3) & ~3
    pixels = bytes((i * 37) & 0xFF for i in range(stride * height))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    body = info + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 54) + body + extra


def icon(sizes, count=None):
    n = len(sizes) if count is None else count
    out = struct.pack("<HHh", 0, 1, n)
    offset = 6 + 16 * len(sizes)
    images = b""
    for i, size in enumerate(sizes):
        out += struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, size, offset)
        images += bytes([0x60 + i]) * size
        offset += size
    return out + images


def wave(size):
    head = b"RIFF" + struct.pack("<I", size - 8) + b"WAVE"
    return (head + bytes(i & 0x7F for i in range(size)))[:size]


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


full = [
    [b"1\tC:\\PICS\\LOGO.BMP", b"logo\tC:\\PICS\\SMALL.BMP"],
    [b"100\tC:\\ICONS\\APP.ICO"],
    [b"1\tHello", b"17\tWorld", b"7\t"],
    [b"BEEP\tC:\\SOUND\\BEEP.WAV"],
]

def section(tag, lines):
    return tag + kbp([lines], signature=b"")


ext_curs = section(b"CURS", [b"ARROW\tC:\\CURSORS\\ARROW.CUR"])
ext_data = section(b"DATA", [b"7\tCUSTOM\tC:\\DATA\\BLOB.BIN", b"8\t300\tC:\\DATA\\X"])
extension = (b"KELBOEXT" + ext_curs + ext_data + section(b"MANI", [b"controls=6", b"dpi=permonitorv2"])
             + section(b"VERS", [b"FileVersion=1.2.3.4", b"CompanyName=Acme"]))
for target in ("project_decode", "project_load"):
    write(target, "empty.kbp", kbp([[], [], [], []]))
    write(target, "one_string.kbp", kbp([[], [], [b"1\tHello"], []]))
    write(target, "all_kinds.kbp", kbp(full))
    write(target, "trailing.kbp", kbp(full) + b"\x00\x01trailing")
    write(target, "truncated.kbp", kbp(full)[:-5])
    write(target, "negative_count.kbp", b"KELBO200" + struct.pack("<hhhh", 0, -1, 0, 0))
    write(target, "extension.kbp", kbp(full) + extension)
    write(target, "extension_misordered.kbp", kbp(full) + b"KELBOEXT" + ext_data + ext_curs)

write("icon_directory", "one.ico", icon([40]))
write("icon_directory", "two.ico", icon([40, 68]))
write("icon_directory", "six.ico", icon([8, 9, 10, 11, 12, 13]))
write("icon_directory", "none.ico", icon([]))
write("icon_directory", "outside.ico", icon([40])[:-10])

write("bitmap_header", "small.bmp", bitmap(2, 2))
write("bitmap_header", "extra.bmp", bitmap(3, 1, b"after the end"))
write("bitmap_header", "header_only.bmp", bitmap(1, 1)[:14])

sources = [bitmap(2, 2), icon([40, 68]), wave(101), icon([8, 9, 10, 11, 12, 13])]
project = b"\n".join([
    b"01\t/src/0", b"0logo\t/src/0",
    b"1100\t/src/1", b"1app\t/src/3",
    b"21\tHello", b"217\tWorld", b"27\tA", b"2 32767\t last slot ",
    b"37\t/src/2", b"3boom1\t/src/2",
])
body = project + b"".join(b"@@@@" + s for s in sources)
write("compile", "all_kinds", b"\x00" + body)
write("compile", "write_fails", b"\x05" + body)
write("compile", "commit_fails", b"\x06" + body)
write("compile", "read_fails", b"\x0b" + body)
write("compile", "strings_only", b"\x00" + b"21\tHi\n240\tforty\n20\tzero\n216\tsixteen")
write("compile", "missing_sources", b"\x00" + b"01\t/nowhere.bmp\n1x\t/src/dir\n3y\t/src/locked")
write("compile", "duplicate_ids", b"\x00" + b"0A\t/src/0\n0A\t/src/0@@@@" + sources[0])

write("xml_check", "manifest.xml",
      b'\xef\xbb\xbf<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n'
      b'<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">\r\n'
      b'  <assemblyIdentity type="win32" name="A&amp;B" version="1.0.0.0"/>\r\n'
      b'  <!-- comment --><?pi data?>\r\n'
      b'  <description>Caf\xc3\xa9 &#x20AC; &lt;<![CDATA[ <raw> ]]></description>\r\n'
      b'</assembly>\r\n')
write("xml_check", "nested.xml", b"<a>" * 40 + b"text" + b"</a>" * 40)
write("xml_check", "attributes.xml", b"<a x='1' y=\"2\" z = '&quot;'><b/></a>")
write("xml_check", "mismatched.xml", b"<a><b></a></b>")
write("xml_check", "doctype.xml", b"<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>")
write("xml_check", "utf16.xml", "\ufeff<a/>".encode("utf-16-le"))

write("manifest_lines", "generator",
      b"id=1\nname=Acme.Tool\nversion=1.2.3.4\ndescription=Caf\xe9 & <co>\ncontrols=6\n"
      b"dpi=permonitorv2\nlevel=asInvoker\nos=all")
write("manifest_lines", "file", b"ID = 2\nFILE = C:\\APP\\app.manifest")
write("manifest_lines", "mixed", b"file=a.manifest\nname=X")
write("manifest_lines", "twice", b"id=1\nid=2")
write("manifest_lines", "unknown", b"dpi=high\ncolour=red\nversion=1.0.0")
