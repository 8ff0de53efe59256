#!/usr/bin/env python3
"""Writes the benchmark projects into a folder.

large: 2000 bitmaps (128x128, 24-bit), 2000 icons of two images, 32767 strings and 500 waves
of 44 KB, about 140 MB of sources; cjk: the same with every string in Chinese; every: the same plus 2000 cursors (32x32, 32-bit) and 500
custom files of 50 KB; huge: one wave of 100 MB. For each: NAME.kbp (the project,
full paths), NAME.rc (the same resources as a resource script for llvm-rc) and NAME.files (the
source files in compile order, for the copy that gives the I/O floor).
"""
import os
import struct
import sys

MAX_STRINGS = 32767


def bmp24(width, height, bits):
    stride = (width * 3 + 3) & ~3
    size = stride * height
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, size, 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + size, 0, 0, 54) + info + bits[:size]


def icon_image(side, bits):
    xor = 4 * side * side
    mask = ((side + 31) // 32) * 4 * side
    info = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, 32, 0, xor + mask, 0, 0, 0, 0)
    return info + bits[:xor] + b"\0" * mask


def ico(images, hotspot=None):
    # A cursor file is an icon file of type 2 whose planes and bit count give the hot spot.
    out = struct.pack("<HHH", 0, 1 if hotspot is None else 2, len(images))
    offset = 6 + 16 * len(images)
    for side, data in images:
        planes, count = (1, 32) if hotspot is None else hotspot
        out += struct.pack("<BBBBHHII", side, side, 0, 0, planes, count, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def wav_header(total):
    head = b"RIFF" + struct.pack("<I", total - 8) + b"WAVEfmt "
    head += struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16)
    return head + b"data" + struct.pack("<I", total - 44)


def wav(total, bits):
    return wav_header(total) + bits[: total - 44]


def records(lines, encoding="cp1252"):
    out = struct.pack("<h", len(lines))
    for line in lines:
        raw = line.encode(encoding)
        assert len(raw) <= 32767, line
        out += struct.pack("<h", len(raw)) + raw
    return out


def kbp(kinds, cursors=(), datas=(), utf8=False):
    # A project with text outside Windows-1252 is UTF-8 throughout, announced by TEXT.
    enc = "utf-8" if utf8 else "cp1252"
    out = b"KELBO200" + b"".join(records(lines, enc) for lines in kinds)
    if cursors or datas or utf8:
        out += b"KELBOEXT"
        if utf8:
            out += b"TEXT" + records(["UTF-8"])
        if cursors:
            out += b"CURS" + records(["%s\t%s" % item for item in cursors], enc)
        if datas:
            out += b"DATA" + records(["%s\t%s\t%s" % item for item in datas], enc)
    return out


def rc_script(bitmaps, icons, strings, waves, cursors=(), datas=(), utf8=False):
    out = ["#pragma code_page(65001)"] if utf8 else []
    out += ["LANGUAGE 0, 0"]
    out += ['%s BITMAP "%s"' % item for item in bitmaps]
    out += ['%s ICON "%s"' % item for item in icons]
    if strings:
        out.append("STRINGTABLE\n{")
        out += ['  %d, "%s"' % item for item in strings]
        out.append("}")
    out += ['%s WAVE "%s"' % item for item in waves]
    out += ['%s CURSOR "%s"' % item for item in cursors]
    out += ['%s %s "%s"' % item for item in datas]
    return ("\n".join(out) + "\n").encode("utf-8" if utf8 else "cp1252")


def write_project(folder, name, bitmaps, icons, strings, waves, cursors=(), datas=(), utf8=False):
    lines = [
        ["%s\t%s" % item for item in bitmaps],
        ["%s\t%s" % item for item in icons],
        ["%d\t%s" % item for item in strings],
        ["%s\t%s" % item for item in waves],
    ]
    with open(os.path.join(folder, name + ".kbp"), "wb") as f:
        f.write(kbp(lines, cursors, datas, utf8))
    with open(os.path.join(folder, name + ".rc"), "wb") as f:
        f.write(rc_script(bitmaps, icons, strings, waves, cursors, datas, utf8))
    with open(os.path.join(folder, name + ".files"), "w") as f:
        for path in [p for _, p in bitmaps + icons + waves + list(cursors)] + [p for _, _, p in datas]:
            f.write(path + "\n")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: gen_project.py FOLDER")
    folder = os.path.abspath(sys.argv[1])
    src = os.path.join(folder, "src")
    os.makedirs(src, exist_ok=True)
    # One block of noise, rotated per file so no two sources are alike.
    noise = os.urandom(1 << 17)

    def bits(k, n):
        k = (k * 7919) % len(noise)
        block = noise[k:] + noise[:k]
        return (block * (n // len(block) + 1))[:n]

    bitmaps, icons, waves = [], [], []
    for i in range(1, 2001):
        path = os.path.join(src, "b%04d.bmp" % i)
        write(path, bmp24(128, 128, bits(i, 128 * 128 * 3)))
        bitmaps.append((str(i), path))
    for i in range(1, 2001):
        path = os.path.join(src, "i%04d.ico" % i)
        write(path, ico([(16, icon_image(16, bits(i, 1024))), (32, icon_image(32, bits(i + 1, 4096)))]))
        icons.append(("ICON%d" % i, path))
    for i in range(1, 501):
        path = os.path.join(src, "w%03d.wav" % i)
        write(path, wav(44 * 1024, bits(i, 44 * 1024)))
        waves.append(("SOUND%d" % i, path))
    strings = [(n, "Benchmark string number %d" % n) for n in range(MAX_STRINGS)]
    write_project(folder, "large", bitmaps, icons, strings, waves)
    # The same sources with every string in Chinese: UTF-8 in the project, UTF-16 in the .RES.
    cjk = "\u8d44\u6e90\u7f16\u8bd1\u5668\u7684\u57fa\u51c6\u5b57\u7b26\u4e32"
    write_project(folder, "cjk", bitmaps, icons, [(n, "%s %d" % (cjk, n)) for n in range(MAX_STRINGS)],
                  waves, utf8=True)

    cursors, datas = [], []
    for i in range(1, 2001):
        path = os.path.join(src, "c%04d.cur" % i)
        write(path, ico([(32, icon_image(32, bits(i + 2, 4096)))], hotspot=(i % 32, 31 - i % 32)))
        cursors.append(("CURSOR%d" % i, path))
    for i in range(1, 501):
        path = os.path.join(src, "d%03d.bin" % i)
        write(path, bits(i + 3, 50 * 1024))
        datas.append(("BLOB%d" % i, "CUSTOM" if i % 2 else "300", path))
    write_project(folder, "every", bitmaps, icons, strings, waves, cursors, datas)

    huge = os.path.join(src, "huge.wav")
    with open(huge, "wb") as f:
        total = 100 * 1024 * 1024
        f.write(wav_header(total))
        chunk = bits(3, 1 << 20)
        left = total - 44
        while left > 0:
            f.write(chunk[: min(left, len(chunk))])
            left -= len(chunk)
    write_project(folder, "huge", [], [], [], [("1", huge)])


if __name__ == "__main__":
    main()
