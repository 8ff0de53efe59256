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


def icon(sizes, count=None, kind=1):
    """An icon (kind 1) or cursor (kind 2) file; each image a 40-byte DIB header and filler."""
    n = len(sizes) if count is None else count
    out = struct.pack("<HHH", 0, kind, n & 0xFFFF)
    offset = 6 + 16 * len(sizes)
    images = b""
    for i, size in enumerate(sizes):
        planes, bits = (i + 1, i + 2) if kind == 2 else (1, 32)
        out += struct.pack("<BBBBHHII", 16, 16, 0, 0, planes, bits, size, offset)
        head = struct.pack("<IiiHH", 40, 16, 32, 1, 32).ljust(40, b"\0")
        images += (head + bytes([0x60 + i]) * size)[:size]
        offset += size
    return out + images


def png_icon():
    image = b"\x89PNG\r\n\x1a\n" + bytes(range(40))
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, 0, 0, 0, 0, 0, 0, len(image), 22) + image


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

# Languages and UTF-8 text: TEXT first, the base's kinds, BASE, then each LANG with its kinds.
def one_line(tag, line):
    return section(tag, [line])


ru = "Привет, мир".encode()
zh = "你好 😀".encode()
languages = (b"KELBOEXT" + one_line(b"TEXT", b"UTF-8") + ext_curs + one_line(b"BASE", b"0409")
             + one_line(b"LANG", b"0419") + section(b"STRG", [b"1\t" + ru])
             + section(b"VERS", [b"CompanyName=" + ru])
             + one_line(b"LANG", b"0804") + section(b"BITM", [b"1\tC:\\\xe5\x9b\xbe.BMP"])
             + section(b"STRG", [b"1\t" + zh]) + one_line(b"LANG", b"0c0a"))
for target in ("project_decode", "project_load"):
    write(target, "languages.kbp", kbp([[], [], [b"1\tCaf\xc3\xa9"], []]) + languages)
    write(target, "base_only.kbp", kbp(full) + b"KELBOEXT" + one_line(b"BASE", b"0419"))
    write(target, "empty_language.kbp", kbp(full) + b"KELBOEXT" + one_line(b"LANG", b"0407"))
    write(target, "cp1252_text.kbp", kbp([[], [], [b"1\tCaf\xe9 \x80 \x81 \x9f"], []]))
    write(target, "invalid_utf8.kbp", kbp([[], [], [b"1\tCaf\xe9"], []]) + b"KELBOEXT"
          + one_line(b"TEXT", b"UTF-8"))
    write(target, "repeated_language.kbp", kbp(full) + b"KELBOEXT" + one_line(b"LANG", b"0419")
          + one_line(b"LANG", b"0419"))
    write(target, "text_not_first.kbp", kbp(full) + b"KELBOEXT" + ext_curs + one_line(b"TEXT", b"UTF-8"))
    write(target, "base_after_lang.kbp", kbp(full) + b"KELBOEXT" + one_line(b"LANG", b"0419")
          + one_line(b"BASE", b"0409"))

write("recent_files", "cp1252", b"c:\\caf\xe9\\\x80.kbp\r\n/home/u/a.kbp\r\n")
write("recent_files", "utf8_bom", b"\xef\xbb\xbf/home/u/" + ru + b".kbp\r\n/srv/" + zh + b".kbp\r\n/a\r\n")
write("recent_files", "utf8_invalid", b"\xef\xbb\xbf/a\r\n/\xe9\r\n/b\r\n")

write("icon_directory", "one.ico", icon([40]))
write("icon_directory", "two.ico", icon([40, 68]))
write("icon_directory", "six.ico", icon([40, 41, 42, 43, 44, 45]))
write("icon_directory", "png.ico", png_icon())
write("icon_directory", "two.cur", icon([40, 68], kind=2))
write("icon_directory", "short_image.cur", icon([40, 7], kind=2))
write("icon_directory", "outside.ico", icon([40])[:-10])

write("bitmap_header", "small.bmp", bitmap(2, 2))
write("bitmap_header", "extra.bmp", bitmap(3, 1, b"after the end"))
write("bitmap_header", "header_only.bmp", bitmap(1, 1)[:14])
core = struct.pack("<IHHHH", 12, 2, 2, 1, 1) + bytes(6) + bytes(8)
write("bitmap_header", "core.bmp", b"BM" + struct.pack("<IHHI", 14 + len(core), 0, 0, 32) + core)
fields = struct.pack("<IiiHHIIiiII", 40, 1, -2, 1, 32, 3, 8, 0, 0, 0, 0)
fields += struct.pack("<III", 0xFF0000, 0xFF00, 0xFF) + bytes(8)
write("bitmap_header", "bitfields_top_down.bmp",
      b"BM" + struct.pack("<IHHI", 14 + len(fields), 0, 0, 66) + fields)

sources = [bitmap(2, 2), icon([40, 68]), wave(101), icon([40, 41, 42, 43, 44, 45]),
           icon([40, 50], kind=2)]
project = b"\n".join([
    b"01\t/src/0", b"0logo\t/src/0",
    b"1100\t/src/1", b"1app\t/src/3",
    b"21\tHello", b"217\tWorld", b"27\tA", b"2 32767\t last slot ",
    b"37\t/src/2", b"3boom1\t/src/2",
    b"4arrow\t/src/4", b"42\t/src/4",
    b"57\tCUSTOM\t/src/2", b"5table\t300\t/src/0",
])
body = project + b"".join(b"@@@@" + s for s in sources)
write("compile", "all_kinds", b"\x00" + body)
write("compile", "write_fails", b"\x05" + body)
write("compile", "commit_fails", b"\x06" + body)
write("compile", "read_fails", b"\x0b" + body)
write("compile", "strings_only", b"\x00" + b"21\tHi\n240\tforty\n20\tzero\n216\tsixteen")
write("compile", "missing_sources", b"\x00" + b"01\t/nowhere.bmp\n1x\t/src/dir\n3y\t/src/locked")
write("compile", "cursor_as_icon", b"\x00" + b"11\t/src/0@@@@" + icon([40], kind=2))
write("compile", "reserved_type", b"\x00" + b"51\t14\t/src/0@@@@" + wave(20))
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
write("compile", "keyed", b"\x00" + b"\n".join([
    b"21\tHi", b"6controls=6", b"6dpi=permonitorv2", b"6level=asInvoker", b"6os=all",
    b"7FileVersion=1.2.3.4", b"7CompanyName=Acme", b"7FileType=dll",
]))
write("compile", "manifest_file", b"\x00" + b"21\tHi\n6file=/src/0\n6id=2@@@@"
      + b"<?xml version=\"1.0\"?><assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>")

# .RES files of both layouts for res_reader: the kinds an import turns into items.
def res_id32(v):
    if isinstance(v, int):
        return struct.pack("<HH", 0xFFFF, v)
    return v.encode("utf-16-le") + b"\0\0"


def res32(entries):
    out = struct.pack("<II", 0, 32) + res_id32(0) + res_id32(0) + bytes(16)
    for type_, name, flags, data, *language in entries:
        ids = res_id32(type_) + res_id32(name)
        ids += bytes(-len(ids) % 4)
        out += struct.pack("<II", len(data), 8 + len(ids) + 16) + ids
        out += struct.pack("<IHHII", 0, flags, language[0] if language else 0, 0, 0)
        out += data + bytes(-len(data) % 4)
    return out


def res_id16(v):
    return struct.pack("<BH", 0xFF, v) if isinstance(v, int) else v.encode("cp1252") + b"\0"


def res16(entries):
    return b"".join(res_id16(t) + res_id16(n) + struct.pack("<HI", f, len(d)) + d
                    for t, n, f, d in entries)


def version_node(key, value=b"", text=False, children=b""):
    head = key.encode("utf-16-le") + b"\0\0"
    body = struct.pack("<HHH", 0, len(value) // 2 if text else len(value), int(text)) + head
    body += bytes(-len(body) % 4) + value
    body += bytes(-len(body) % 4) + children
    return struct.pack("<H", len(body)) + body[2:]


def version_block(company="Acme", file_version="1.2.3.4", table_name="040904E4"):
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, 0x10002, 0x30004, 0x10000, 0, 0x3F, 0,
                        0x40004, 1, 0, 0, 0)
    strings = version_node("CompanyName", (company + "\0").encode("utf-16-le"), True)
    strings += bytes(-len(strings) % 4) + version_node("FileVersion", (file_version + "\0").encode("utf-16-le"), True)
    table = version_node(table_name, children=strings)
    info = version_node("StringFileInfo", text=True, children=table)
    var = version_node("VarFileInfo", children=version_node("Translation", struct.pack("<HH", 0x409, 1252)))
    return version_node("VS_VERSION_INFO", fixed, children=info + bytes(-len(info) % 4) + var)


icon_group = struct.pack("<HHH", 0, 1, 2) + struct.pack("<BBBBHHIH", 16, 16, 0, 0, 1, 32, 40, 1) \
    + struct.pack("<BBBBHHIH", 32, 32, 0, 0, 1, 32, 68, 2)
cursor_group = struct.pack("<HHH", 0, 2, 1) + struct.pack("<HHHHIH", 32, 64, 1, 32, 44, 1)
strings32 = b"".join(struct.pack("<H", len(s)) + s.encode("utf-16-le") for s in
                     ["Hello", "", "W\u00f6rld"] + [""] * 13)
strings16 = b"".join(struct.pack("<B", len(s)) + s.encode("cp1252") for s in
                     ["Hello", "", "W\u00f6rld"] + [""] * 13)
common = [
    (2, "LOGO", 0x30, bitmap(2, 2)[14:]),
    (3, 1, 0x1010, b"\x60" * 40), (3, 2, 0x1010, b"\x61" * 68), (14, "APP", 0x1030, icon_group),
    (1, 1, 0x1010, struct.pack("<HH", 5, 7) + b"\x62" * 40), (12, 3, 0x1030, cursor_group),
    ("WAVE", 7, 0x30, wave(101)), (10, 9, 0x30, b"raw data"), ("CUSTOM", "x", 0x30, b"custom"),
    (24, 1, 0x30, b"<assembly/>"),
]
write("res_reader", "all_kinds32.res",
      res32(common + [(6, 1, 0x1030, strings32), (16, 1, 0x30, version_block())]))
write("res_reader", "all_kinds16.res", res16(common + [(6, 1, 0x1030, strings16)]))
write("res_reader", "orphan_image.res", res32([(3, 5, 0x1010, b"\x28" + bytes(39))]))
write("res_reader", "cut.res", res32(common)[:-7])
# Three languages, text past Windows-1252 and past U+FFFF, a version string apart from its
# number, a manifest numbered 3.
strings_ru = b"".join(struct.pack("<H", len(s.encode("utf-16-le")) // 2) + s.encode("utf-16-le")
                      for s in ["\u041f\u0440\u0438\u0432\u0435\u0442 \U0001F600"] + [""] * 15)
write("res_reader", "languages32.res", res32([
    (6, 1, 0x1030, strings32, 0x0409),
    (6, 1, 0x1030, strings_ru, 0x0419),
    (16, 1, 0x30, version_block("\u041e\u041e\u041e", "1, 2, 3, 4", "041904B0"), 0x0419),
    (24, 3, 0x30, b"<assembly/>", 0x0804),
    ("\u7c7b", "\u540d", 0x30, b"data", 0x0804),
]))


# Small programs for pe_reader: the resource section last or followed by .reloc, PE32 and PE32+,
# with bytes after the sections. The directory: type 10 with a named and a numbered resource.
def rsrc_section(rva):
    name = "KEEP".encode("utf-16-le")
    tables = struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1) + struct.pack("<II", 10, 0x80000000 | 24)
    tables += struct.pack("<IIHHHH", 0, 0, 0, 0, 1, 1)
    names_at, langs_at = 24 + 16 + 16, 24 + 32 + 48
    data_entries_at, strings_at = langs_at + 2 * 24, langs_at + 2 * 24 + 32
    tables += struct.pack("<II", 0x80000000 | strings_at, 0x80000000 | langs_at)
    tables += struct.pack("<II", 1, 0x80000000 | (langs_at + 24))
    assert len(tables) == names_at
    tables += b"\0" * (langs_at - len(tables))
    for i in range(2):
        tables += struct.pack("<IIHHHH", 0, 0, 0, 0, 0, 1)
        tables += struct.pack("<II", 0x409, data_entries_at + 16 * i)
    data_at = strings_at + 2 + len(name)
    data_at = (data_at + 7) // 8 * 8
    tables += struct.pack("<IIII", rva + data_at, 4, 0, 0)
    tables += struct.pack("<IIII", rva + data_at + 8, 3, 1252, 0)
    tables += struct.pack("<H", 4) + name
    tables += b"\0" * (data_at - len(tables)) + b"kept" + b"\0" * 4 + b"one"
    return tables


def program(plus=False, reloc=False, overlay=b""):
    sections = [(b".text", b"\xCC" * 0x80, 0x1000), (b".rsrc", rsrc_section(0x2000), 0x2000)]
    if reloc:
        sections.append((b".reloc", b"\x11" * 16, 0x3000))
    opt_size = 240 if plus else 224
    head = bytearray(0x200)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, 0x40)
    head[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", head, 0x44, 0x8664 if plus else 0x14C, len(sections), 0, 0, 0,
                     opt_size, 0x22)
    opt = 0x58
    struct.pack_into("<H", head, opt, 0x20B if plus else 0x10B)
    struct.pack_into("<II", head, opt + 32, 0x1000, 0x200)
    struct.pack_into("<II", head, opt + 56, 0x1000 * (len(sections) + 1), 0x200)
    dirs = opt + (112 if plus else 96)
    struct.pack_into("<I", head, dirs - 4, 16)
    struct.pack_into("<II", head, dirs + 16, 0x2000, len(sections[1][1]))
    body, raw = b"", 0x200
    for i, (name, data, rva) in enumerate(sections):
        size = (len(data) + 0x1FF) // 0x200 * 0x200
        struct.pack_into("<8sIIIIIIHHI", head, opt + opt_size + 40 * i, name, len(data), rva,
                         size, raw, 0, 0, 0, 0, 0x40000040)
        body += data + b"\0" * (size - len(data))
        raw += size
    return bytes(head) + body + overlay


write("pe_reader", "pe32_last.exe", program())
write("pe_reader", "pe32plus_reloc.exe", program(plus=True, reloc=True, overlay=b"PAYLOAD"))
write("pe_reader", "pe32_cut.exe", program()[:0x300])
