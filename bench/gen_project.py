#!/usr/bin/env python3
"""Writes the benchmark projects into a folder.

large: 2000 bitmaps (128x128, 24-bit), 2000 icons of two images, 32767 strings and 500 waves
of 44 KB, about 140 MB of sources; huge: one wave of 100 MB. For each: NAME.kbp (the project,
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


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for side, data in images:
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def wav_header(total):
    head = b"RIFF" + struct.pack("<I", total - 8) + b"WAVEfmt "
    head += struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16)
    return head + b"data" + struct.pack("<I", total - 44)


def wav(total, bits):
    return wav_header(total) + bits[: total - 44]


def kbp(kinds):
    out = b"KELBO200"
    for lines in kinds:
        out += struct.pack("<h", len(lines))
        for line in lines:
            raw = line.encode("cp1252")
            assert len(raw) <= 32767, line
            out += struct.pack("<h", len(raw)) + raw
    return out


def rc_script(bitmaps, icons, strings, waves):
    out = ["LANGUAGE 0, 0"]
    out += ['%s BITMAP "%s"' % item for item in bitmaps]
    out += ['%s ICON "%s"' % item for item in icons]
    out += ['%s WAVE "%s"' % item for item in waves]
    if strings:
        out.append("STRINGTABLE\n{")
        out += ['  %d, "%s"' % item for item in strings]
        out.append("}")
    return ("\n".join(out) + "\n").encode("cp1252")


def write_project(folder, name, bitmaps, icons, strings, waves):
    lines = [
        ["%s\t%s" % item for item in bitmaps],
        ["%s\t%s" % item for item in icons],
        ["%d\t%s" % item for item in strings],
        ["%s\t%s" % item for item in waves],
    ]
    with open(os.path.join(folder, name + ".kbp"), "wb") as f:
        f.write(kbp(lines))
    with open(os.path.join(folder, name + ".rc"), "wb") as f:
        f.write(rc_script(bitmaps, icons, strings, waves))
    with open(os.path.join(folder, name + ".files"), "w") as f:
        for _, path in bitmaps + icons + waves:
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
