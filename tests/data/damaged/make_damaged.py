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


def bitmap(width, height):
    stride = (width * 3 + 3) & ~3
    pixels = bytes((i * 37) & 0xFF for i in range(stride * height))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    body = info + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 54) + body


def icon(sizes, count=None, entries=None):
    n = len(sizes) if count is None else count
    out = struct.pack("<HHh", 0, 1, n)
    offset = 6 + 16 * len(sizes)
    images = b""
    for i, size in enumerate(sizes):
        size_field, offset_field = size, offset
        if entries and i in entries:
            size_field, offset_field = entries[i]
        out += struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, size_field, offset_field)
        images += bytes([0x60 + i]) * size
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
put("sources/empty.bmp", b"")
put("sources/short.bmp", valid_bmp[:10])
put("sources/cut.bmp", valid_bmp[:40])
put("sources/small-declared.bmp", valid_bmp[:2] + struct.pack("<I", 13) + valid_bmp[6:])
put("sources/huge-declared.bmp", valid_bmp[:2] + struct.pack("<I", 0xFFFFFFFF) + valid_bmp[6:])
put("sources/short.ico", icon([40])[:4])
put("sources/negative-count.ico", icon([40], count=-1))
put("sources/missing-entries.ico", icon([40], count=4)[:6 + 16])
put("sources/count-32767.ico", icon([], count=32767) + b"\0" * 16)
put("sources/offset-outside.ico", icon([40], entries={0: (40, 5000)}))
put("sources/four-gigabytes.ico", icon([40], entries={0: (0xFFFFFFFF, 22)}))
put("sources/wrapping-offset.ico", icon([40], entries={0: (0x20, 0xFFFFFFF0)}))
six = icon([10, 11, 12, 13, 14, 15])
put("sources/third-cut.ico", six[:6 + 96 + 10 + 11 + 5])
put("sources/sixth-cut.ico", six[:-10])
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
for name in ("empty", "short", "cut", "small-declared", "huge-declared"):
    put("projects/%s-bmp.kbp" % name, one(BMP, b"1\tsources/%s.bmp" % name.encode()))
for name in ("short", "negative-count", "missing-entries", "count-32767", "offset-outside",
             "four-gigabytes", "wrapping-offset", "third-cut", "sixth-cut"):
    put("projects/%s-ico.kbp" % name, one(ICO, b"1\tsources/%s.ico" % name.encode()))
put("projects/empty-wav.kbp", one(WAV, b"1\tsources/empty.wav"))
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
put("res/empty.res", b"")
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
