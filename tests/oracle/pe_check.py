#!/usr/bin/env python3
"""pefile's reading of a patched program against the program before and the .RES it was patched
from: every resource of FROM there (groups through their images, strings slot by slot), every
other resource and every old section byte-identical, the headers consistent.
Usage: pe_check.py PATCHED ORIGINAL FROM.res; prints one line per failure, exit 1 on any.
pe_check.py --same-resources A.res B.res: exit 0 when both hold the same resources.
pe_check.py --same-tree A.exe B.exe: exit 0 when both programs hold the same resources."""
import struct
import sys

import pefile

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def key(v):
    return v if isinstance(v, int) else str(v)


def tree(pe):
    out = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return out
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for lang in n.directory.entries:
                d = lang.data.struct
                out[(key(t.id if t.name is None else t.name),
                     key(n.id if n.name is None else n.name), lang.id)] = \
                    pe.get_data(d.OffsetToData, d.Size)
    return out


def read_res(path):
    data = open(path, "rb").read()
    pos, out = 32, []
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        fields = pos + 8

        def name(at):
            if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
                return struct.unpack_from("<H", data, at + 2)[0], at + 4
            end = at
            while struct.unpack_from("<H", data, end)[0]:
                end += 2
            return data[at:end].decode("utf-16-le"), end + 2
        rtype, at = name(fields)
        rname, at = name(at)
        lang = struct.unpack_from("<H", data, pos + header - 10)[0]
        out.append((rtype, rname, lang, data[pos + header:pos + header + size]))
        pos = (pos + header + size + 3) // 4 * 4
    return out


def strings(block):
    slots, pos = [], 0
    for _ in range(16):
        n = struct.unpack_from("<H", block, pos)[0]
        slots.append(block[pos + 2:pos + 2 + 2 * n])
        pos += 2 + 2 * n
    return slots


def group_images(group, images):
    """A group's entries without their numbers, each with its image's bytes."""
    count = struct.unpack_from("<H", group, 4)[0]
    out = []
    for i in range(count):
        entry = group[6 + 14 * i:6 + 14 * i + 14]
        number = struct.unpack_from("<H", entry, 12)[0]
        image = [d for (t, n, _), d in images.items() if n == number]
        out.append((entry[:12], image[0] if image else None))
    return out


def main(patched_path, original_path, from_path):
    patched, original = pefile.PE(patched_path), pefile.PE(original_path)
    check(not [w for w in patched.get_warnings() if "esource" in w], "pefile warnings")
    oh = patched.OPTIONAL_HEADER
    if original.OPTIONAL_HEADER.CheckSum:
        check(oh.CheckSum == patched.generate_checksum(), "checksum")
    else:
        check(oh.CheckSum == 0, "a zero checksum stays zero")
    end = max(s.VirtualAddress + max(s.Misc_VirtualSize, s.SizeOfRawData) for s in patched.sections)
    align = oh.SectionAlignment
    check(oh.SizeOfImage == (end + align - 1) // align * align, "SizeOfImage")
    rsrc = oh.DATA_DIRECTORY[2]
    last = patched.sections[-1]
    check(rsrc.VirtualAddress == last.VirtualAddress and rsrc.Size == last.Misc_VirtualSize,
          "the resource directory is the last section")
    check(last.SizeOfRawData % oh.FileAlignment == 0, "raw size aligned")
    for s in original.sections:
        if s.VirtualAddress == original.OPTIONAL_HEADER.DATA_DIRECTORY[2].VirtualAddress and \
                s is original.sections[-1]:
            continue  # rewritten in place
        match = [p for p in patched.sections if p.VirtualAddress == s.VirtualAddress]
        check(match and match[0].get_data() == s.get_data(), "section %r kept" % s.Name)

    new, old = tree(patched), tree(original)
    from_res = read_res(from_path)
    icons = {k: v for k, v in new.items() if k[0] in (1, 3)}
    touched = set()
    for rtype, rname, lang, data in from_res:
        if rtype in (1, 3):
            continue  # renumbered; checked through their groups
        found = {k: v for k, v in new.items() if k[0] == key(rtype) and k[1] == key(rname)}
        check(found, "FROM's %r %r is in the program" % (rtype, rname))
        touched |= {(k[0], k[1]) for k in found}
        from_images = {(t, n, lg): d for t, n, lg, d in from_res if t == (3 if rtype == 14 else 1)}
        # FROM in several languages of this name keeps each; in one, it goes into every one
        several = len({lg for t, n, lg, _ in from_res if t == rtype and n == rname}) > 1
        for k, v in found.items():
            if several and k[2] != lang:
                continue
            if rtype in (12, 14):
                kind = 3 if rtype == 14 else 1
                check(group_images(v, {x: d for x, d in icons.items() if x[0] == kind}) ==
                      group_images(data, from_images), "group %r images" % rname)
            elif rtype == 6:
                ours, theirs = strings(v), strings(data)
                check(all(not t or o == t for o, t in zip(ours, theirs)), "strings of %r" % rname)
            elif len(found) == 1 or k[2] == lang:
                check(v == data, "data of %r %r" % (rtype, rname))
    for k, v in old.items():
        if (k[0], k[1]) not in touched and k[0] not in (1, 3, 12, 14, 16):
            check(new.get(k) == v, "untouched %r kept" % (k,))
    print("pe_check: %d resources, %d failures" % (len(new), len(failures)))
    return 1 if failures else 0


def same_resources(a, b):
    """Two .RES files hold the same resources (type, name, language, data), in any order."""
    return 0 if sorted(map(repr, read_res(a))) == sorted(map(repr, read_res(b))) else 1


if __name__ == "__main__":
    if sys.argv[1] == "--same-tree":
        a, b = (tree(pefile.PE(f)) for f in sys.argv[2:4])
        for k in sorted(set(a) | set(b), key=repr):
            check(a.get(k) == b.get(k), "resource %r differs" % (k,))
        sys.exit(1 if failures else 0)
    if sys.argv[1] == "--same-resources":
        sys.exit(same_resources(*sys.argv[2:]))
    sys.exit(main(*sys.argv[1:]))
