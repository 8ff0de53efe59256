#!/usr/bin/env python3
"""Writes the damaged inputs of this folder (the output is committed; manifest.txt says what
each must give). Item paths are relative: kelbo-compile runs with this folder as its current
directory."""
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


def kbp_ext(kinds, cursors=(), data=()):
    """A project with the extension block after the WAVE section, for cursors and custom data."""
    out = kbp(kinds) + b"KELBOEXT"
    for tag, lines in ((b"CURS", cursors), (b"DATA", data)):
        if lines:
            out += tag + struct.pack("<h", len(lines))
            for line in lines:
                out += struct.pack("<h", len(line)) + line
    return out


def bitmap(width, height, bits=24, header=40, colours=0, compression=0):
    stride = (width * bits + 31) // 32 * 4
    pixels = bytes((i * 37) & 0xFF for i in range(stride * height))
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, height, 1, bits)
        palette = b"\x40\x80\xC0" * (1 << bits if bits <= 8 else 0)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression,
                           len(pixels), 2835, 2835, colours, 0).ljust(header, b"\0")
        palette = b"\x40\x80\xC0\0" * (colours or (1 << bits if bits <= 8 else 0))
    body = info + palette + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + len(info) + len(palette)) + body


def icon(sizes, count=None, entries=None, kind=1, png=()):
    """An icon (kind 1) or cursor (kind 2) file; each image of 40 bytes or more begins with a
    40-byte DIB header (or, for the images in `png`, a PNG signature)."""
    n = len(sizes) if count is None else count
    out = struct.pack("<HHH", 0, kind, n & 0xFFFF)
    offset = 6 + 16 * len(sizes)
    images = b""
    for i, size in enumerate(sizes):
        size_field, offset_field = size, offset
        if entries and i in entries:
            size_field, offset_field = entries[i]
        planes, bits = (i + 1, i + 2) if kind == 2 else (1, 32)
        out += struct.pack("<BBBBHHII", 16, 16, 0, 0, planes, bits, size_field, offset_field)
        head = b"\x89PNG\r\n\x1a\n" if i in png else struct.pack("<IiiHH", 40, 16, 32, 1, 32).ljust(40, b"\0")
        images += (head + bytes([0x60 + i]) * size)[:size] if size >= 40 else bytes([0x60 + i]) * size
        offset += size
    return out + images


def wave(size):
    head = b"RIFF" + struct.pack("<I", max(size - 8, 0)) + b"WAVEfmt "
    return (head + bytes((i * 13 + 7) & 0xFF for i in range(size)))[:size]


def put(name, data):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def one(kind, line):
    kinds = [[], [], [], []]
    kinds[kind] = [line]
    return kbp(kinds)


BMP, ICO, STR, WAV = 0, 1, 2, 3
good = [[b"1\tsources/good.bmp"], [b"APP\tsources/good.ico"], [b"1\tHello"], [b"7\tsources/good.wav"]]

# Sources.
valid_bmp = bitmap(4, 4)
put("sources/good.bmp", valid_bmp)
put("sources/good.ico", icon([40, 68]))
put("sources/good.wav", wave(301))
put("sources/empty.wav", b"")
put("sources/short.bmp", valid_bmp[:10])
put("sources/cut.bmp", valid_bmp[:40])
put("sources/rows-cut.bmp", valid_bmp[:-1])
put("sources/not-bm.bmp", b"MB" + valid_bmp[2:])
put("sources/header-20.bmp", valid_bmp[:14] + struct.pack("<I", 20) + valid_bmp[18:])
put("sources/palette-cut.bmp", bitmap(4, 4, bits=8)[:14 + 40 + 100])
put("sources/core-header.bmp", bitmap(3, 2, bits=4, header=12))
put("sources/v5-header.bmp", bitmap(3, 3, bits=32, header=124, compression=3))
put("sources/small-declared.bmp", valid_bmp[:2] + struct.pack("<I", 13) + valid_bmp[6:])
put("sources/huge-declared.bmp", valid_bmp[:2] + struct.pack("<I", 0xFFFFFFFF) + valid_bmp[6:])
put("sources/negative-count.ico", icon([40], count=0xFFFF))
put("sources/missing-entries.ico", icon([40], count=4)[:6 + 16])
put("sources/count-32767.ico", icon([], count=32767) + b"\0" * 16)
put("sources/offset-outside.ico", icon([40], entries={0: (40, 5000)}))
put("sources/four-gigabytes.ico", icon([40], entries={0: (0xFFFFFFFF, 22)}))
put("sources/wrapping-offset.ico", icon([40], entries={0: (0x20, 0xFFFFFFF0)}))
six = icon([40, 41, 42, 43, 44, 45])
put("sources/third-cut.ico", six[:6 + 96 + 40 + 41 + 5])
put("sources/sixth-cut.ico", six[:-10])
put("sources/nine.ico", icon([40 + i for i in range(9)], png=(4,)))
put("sources/reserved.ico", b"\1" + icon([40])[1:])
put("sources/cursor-type.ico", icon([40], kind=2))
put("sources/not-a-dib.ico", icon([40, 30]))
put("sources/small-header.ico", icon([40])[:22] + b"\x0C" + icon([40])[23:])
put("sources/good.cur", icon([40, 68], kind=2))
put("sources/png.cur", icon([48], kind=2, png=(0,)))
put("sources/icon-type.cur", icon([40]))
put("sources/type-3.cur", icon([40], kind=3))
put("sources/cut.cur", icon([40, 68], kind=2)[:-1])
put("sources/count-65535.cur", icon([40], count=0xFFFF, kind=2))
put("sources/not-a-dib.cur", icon([40, 8], kind=2))
put("sources/folder.bmp/placeholder", b"a folder where a bitmap should be\n")

# Projects damaged in their own bytes.
put("projects/good.kbp", kbp(good))
put("projects/empty-file.kbp", b"")
put("projects/seven-bytes.kbp", b"KELBO20")
put("projects/signature-only.kbp", b"KELBO200")
put("projects/wrong-digit.kbp", kbp(good, b"KELBO201"))
put("projects/lower-case.kbp", kbp(good, b"kelbo200"))
put("projects/empty-project.kbp", kbp([[], [], [], []]))
put("projects/trailing-bytes.kbp", kbp(good) + b"\x05\x00trailing bytes")


# Languages and UTF-8 text in the extension block, each damaged in one way.
def tagged(tag, *lines):
    return tag + kbp([list(lines)], signature=b"")


ru_string = tagged(b"STRG", "1\tПривет".encode())
put("projects/language-twice.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"0419") + ru_string
    + tagged(b"LANG", b"0419"))
put("projects/language-of-base.kbp", kbp(good) + b"KELBOEXT" + tagged(b"BASE", b"0409")
    + tagged(b"LANG", b"0409") + ru_string)
put("projects/base-after-language.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"0419") + ru_string
    + tagged(b"BASE", b"0409"))
put("projects/kinds-misordered.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"0419") + ru_string
    + tagged(b"BITM", b"2\tsources/good.bmp"))
put("projects/language-not-hex.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"ru-R"))
put("projects/text-not-first.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"0419") + ru_string
    + tagged(b"TEXT", b"UTF-8"))
put("projects/text-not-utf8.kbp", kbp(good) + b"KELBOEXT" + tagged(b"TEXT", b"UTF-16"))
put("projects/invalid-utf8.kbp", kbp([[], [], [b"1\tCaf\xe9"], []]) + b"KELBOEXT" + tagged(b"TEXT", b"UTF-8"))
put("projects/empty-language-kind.kbp", kbp(good) + b"KELBOEXT" + tagged(b"LANG", b"0419") + tagged(b"STRG"))
put("projects/negative-count.kbp", b"KELBO200" + struct.pack("<hhhh", -1, 0, 0, 0))
put("projects/negative-wave-count.kbp", b"KELBO200" + struct.pack("<hhhh", 0, 0, 0, -3))
put("projects/most-negative-count.kbp", b"KELBO200" + struct.pack("<hhhh", 0, -32768, 0, 0))
put("projects/count-32767.kbp", b"KELBO200" + struct.pack("<h", 32767) + b"\0" * 10)
put("projects/negative-length.kbp", b"KELBO200" + struct.pack("<hh", 1, -2) + b"ab" + b"\0" * 6)
put("projects/length-32767.kbp", b"KELBO200" + struct.pack("<hh", 0, 1) + struct.pack("<h", 32767) + b"1\tabc")
put("projects/count-too-high.kbp", kbp([[], [], [b"1\ta", b"2\tb"], []])[:-2][:8 + 4] + struct.pack("<h", 3) +
    kbp([[], [], [b"1\ta", b"2\tb"], []])[14:])
put("projects/no-wave-count.kbp", kbp(good)[:-len(good[3][0]) - 4])
put("projects/folder.kbp/placeholder", b"a folder where a project should be\n")

# Projects whose items are damaged.
put("projects/no-tab.kbp", one(BMP, b"LOGO"))
put("projects/too-large-id.kbp", one(BMP, b"40000\tsources/good.bmp"))
put("projects/same-ids.kbp", kbp([[b"A\tsources/good.bmp", b"B\tsources/good.bmp", b"A\tsources/good.bmp"], [], [], []]))
put("projects/negative-string-id.kbp", one(STR, b"-5\tminus five"))
put("projects/long-string.kbp", one(STR, b"1\t" + b"x" * 300))
put("projects/missing-source.kbp", one(BMP, b"1\tsources/missing.bmp"))
put("projects/folder-source.kbp", one(BMP, b"1\tsources/folder.bmp"))
put("projects/device-source.kbp", one(WAV, b"1\t/dev/zero"))
# An empty bitmap and a 4-byte icon are among the truncations the tests make themselves.
for name in ("short", "cut", "small-declared", "huge-declared"):
    put("projects/%s-bmp.kbp" % name, one(BMP, b"1\tsources/%s.bmp" % name.encode()))
for name in ("negative-count", "missing-entries", "count-32767", "offset-outside",
             "four-gigabytes", "wrapping-offset", "third-cut", "sixth-cut"):
    put("projects/%s-ico.kbp" % name, one(ICO, b"1\tsources/%s.ico" % name.encode()))
put("projects/empty-wav.kbp", one(WAV, b"1\tsources/empty.wav"))
for name in ("rows-cut", "not-bm", "header-20", "palette-cut", "core-header", "v5-header"):
    put("projects/%s-bmp.kbp" % name, one(BMP, b"1\tsources/%s.bmp" % name.encode()))
for name in ("nine", "reserved", "cursor-type", "not-a-dib", "small-header"):
    put("projects/%s-ico.kbp" % name, one(ICO, b"1\tsources/%s.ico" % name.encode()))
for name in ("good", "png", "icon-type", "type-3", "cut", "count-65535", "not-a-dib"):
    put("projects/%s-cur.kbp" % name, kbp_ext([[], [], [], []], cursors=[b"1\tsources/%s.cur" % name.encode()]))
put("projects/missing-cur.kbp", kbp_ext([[], [], [], []], cursors=[b"ARROW\tsources/missing.cur"]))
put("projects/every-kind.kbp", kbp_ext(good, cursors=[b"ARROW\tsources/good.cur", b"2\tsources/png.cur"],
                                       data=[b"7\tCUSTOM\tsources/good.wav", b"TABLE\t300\tsources/empty.wav"]))
put("projects/data-without-type.kbp", kbp_ext([[], [], [], []], data=[b"7\tsources/good.wav"]))
put("projects/data-reserved-type.kbp", kbp_ext([[], [], [], []], data=[b"7\t14\tsources/good.wav"]))
put("projects/data-missing-source.kbp", kbp_ext([[], [], [], []], data=[b"7\tCUSTOM\tsources/missing.dat"]))
put("projects/data-is-a-folder.kbp", kbp_ext([[], [], [], []], data=[b"7\tCUSTOM\tsources/folder.bmp"]))
put("projects/data-same-as-wave.kbp", kbp_ext([[], [], [], [b"BEEP\tsources/good.wav"]],
                                              data=[b"beep\tWAVE\tsources/good.wav"]))
# The first item is fine, the second is damaged: nothing is written either.
put("projects/second-item-damaged.kbp", kbp([[b"1\tsources/good.bmp", b"2\tsources/cut.bmp"], [], [], []]))

# .RES files for kelbo-res (res-manifest.txt says what each must give).
def res_id32(v):
    if isinstance(v, int):
        return struct.pack("<HH", 0xFFFF, v)
    return v.encode("utf-16-le") + b"\0\0"


def res_entry32(type_, name, data, header_size=None, data_size=None):
    ids = res_id32(type_) + res_id32(name)
    ids += bytes(-len(ids) % 4)
    size = 8 + len(ids) + 16 if header_size is None else header_size
    out = struct.pack("<II", len(data) if data_size is None else data_size, size) + ids
    return out + struct.pack("<IHHII", 0, 0x30, 0, 0, 0) + data + bytes(-len(data) % 4)


EMPTY32 = res_entry32(0, 0, b"")


def res_entry16(type_, name, data, data_size=None):
    ids = b""
    for v in (type_, name):
        ids += struct.pack("<BH", 0xFF, v) if isinstance(v, int) else v + b"\0"
    return ids + struct.pack("<HI", 0x30, len(data) if data_size is None else data_size) + data


put("res/good32.res", EMPTY32 + res_entry32(2, "LOGO", bitmap(2, 2)[14:]) +
    res_entry32("WAVE", 3, wave(101)) + res_entry32(10, 1, b"abc"))
put("res/good16.res", res_entry16(2, b"LOGO", bitmap(2, 2)[14:]) + res_entry16(b"WAVE", 3, wave(101)) +
    res_entry16(10, 1, b"abc"))
put("res/size-past-end32.res", EMPTY32 + res_entry32(10, 1, b"abcd", data_size=5000))
put("res/size-past-end16.res", res_entry16(10, 1, b"abcd", data_size=5000))
put("res/size-4gb32.res", EMPTY32 + res_entry32(10, 1, b"abcd", data_size=0xFFFFFFFF))
put("res/header-past-end32.res", EMPTY32 + res_entry32(10, 1, b"", header_size=0x7FFFFFFC))
put("res/misaligned-header32.res", EMPTY32 + res_entry32(10, 1, b"ab", header_size=34))
put("res/header-too-small32.res", EMPTY32 + res_entry32(10, 1, b"", header_size=28))
put("res/header-too-large32.res", EMPTY32 + res_entry32(10, 1, b"abcd", header_size=36) + bytes(8))
put("res/unterminated-name32.res", EMPTY32 + struct.pack("<II", 0, 32) + "ABCDEFGHIJKL".encode("utf-16-le"))
put("res/unterminated-name16.res", b"\xff\x0a\x00NAME")
put("res/zero-length-type32.res", EMPTY32 + struct.pack("<II", 0, 32) + b"\0\0" + res_id32(1) +
    bytes(2) + struct.pack("<IHHII", 0, 0x30, 0, 0, 0))
put("res/zero-length-type16.res", b"\0\xff\x01\x00" + struct.pack("<HI", 0x30, 0))
put("res/zero-length-name16.res", b"\xff\x0a\x00\0" + struct.pack("<HI", 0x30, 0))
put("res/group-too-short32.res", EMPTY32 + res_entry32(14, 1, b"\0\0\1\0\5\0"))
put("res/string-block-cut16.res", res_entry16(6, 1, b"\x05abc"))
put("res/version-past-parent32.res", EMPTY32 + res_entry32(16, 1, struct.pack("<HHH", 400, 0, 0) +
                                                           "VS_VERSION_INFO\0".encode("utf-16-le")))

# Damaged programs, made from the fuzz seed with its resource section last (.rsrc raw data at
# 0x400, its root table, a name table at 24, language tables at 104 and 128, data entries at
# 152 and 168).
with open(os.path.join(HERE, "..", "..", "fuzz", "corpus", "pe_reader", "pe32_last.exe"), "rb") as f:
    GOOD_PE = f.read()


def damaged_pe(*edits):
    data = bytearray(GOOD_PE)
    for offset, value in edits:
        struct.pack_into("<I", data, offset, value)
    return bytes(data)


put("res/good.exe", GOOD_PE)
put("res/pe-offset-past-end.exe", damaged_pe((0x3C, 0x10000)))
put("res/pe-section-past-end.exe", GOOD_PE[:0x500])
put("res/pe-directory-loop.exe", damaged_pe((0x400 + 24 + 16 + 12, 0x80000000 | 24)))
put("res/pe-data-outside.exe", damaged_pe((0x400 + 152, 0x9000)))
