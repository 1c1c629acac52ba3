#!/usr/bin/env python3
"""Makes the seed corpora of fuzz_pack_list and fuzz_pack_resolver.

    tools/vtxpack/make_fuzz_seeds.py VTXPACK OUTDIR...

Valid archives come from vtxpack itself (the real writer, LZO1X-999); the
other seeds are those archives with one thing changed: negative positions,
cuts, a damaged size word or directory, bad names. Every OUTDIR gets the
same seeds. The output is deterministic, so the committed seeds can be
made again.
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile


def pack(vtxpack, program_bytes, files, work):
    """A file of program_bytes followed by an archive of files (name -> bytes)."""
    program = os.path.join(work, "program")
    with open(program, "wb") as f:
        f.write(program_bytes)
    paths = []
    for name, data in files:
        path = os.path.join(work, "in-%d" % len(paths), name)
        os.makedirs(os.path.dirname(path))
        with open(path, "wb") as f:
            f.write(data)
        paths.append(path)
    subprocess.run([vtxpack, "add", program] + paths, check=True)
    with open(program, "rb") as f:
        result = f.read()
    shutil.rmtree(work)
    os.makedirs(work)
    return result


def directory(archive):
    """(directory position, [(name, name offset, P, S)]) of a valid archive."""
    d = struct.unpack_from("<i", archive, len(archive) - 4)[0]
    entries, at = [], d
    while archive[at] != 0:
        n = archive[at]
        name = archive[at + 1:at + 1 + n]
        p, s = struct.unpack_from("<ii", archive, at + 1 + n)
        entries.append((name, at, p, s))
        at += 1 + n + 8
    return d, entries


def with_negative_positions(archive):
    """The same archive with every position counted from the end."""
    out = bytearray(archive)
    size = len(archive)
    d, entries = directory(archive)
    for name, at, p, s in entries:
        struct.pack_into("<i", out, at + 1 + len(name), p - size)
    struct.pack_into("<i", out, size - 4, d - size)
    return bytes(out)


def variants(archive):
    """Corrupt and cut versions of a valid archive, by name."""
    d, entries = directory(archive)
    size = len(archive)
    _, first_at, first_p, first_s = entries[0]
    first_len = archive[first_at]
    out = {}
    out["cut-in-directory"] = archive[:d + 3] + archive[-7:]
    out["cut-tail"] = archive[:-3]
    bad = bytearray(archive)
    struct.pack_into("<i", bad, size - 4, size + 100)
    out["directory-beyond-end"] = bytes(bad)
    bad = bytearray(archive)
    struct.pack_into("<i", bad, size - 4, size - 7)
    out["directory-at-trailer"] = bytes(bad)
    bad = bytearray(archive)
    bad[first_p] ^= 0x01
    out["size-word-off-by-one"] = bytes(bad)
    bad = bytearray(archive)
    struct.pack_into("<I", bad, first_p, 0x7FFFFFF0)
    out["size-word-huge"] = bytes(bad)
    bad = bytearray(archive)
    bad[first_p + 4:first_p + first_s] = bytes([0xFF]) * (first_s - 4)
    out["lzo-garbage"] = bytes(bad)
    bad = bytearray(archive)
    struct.pack_into("<i", bad, first_at + 1 + first_len + 4, 3)
    out["stored-size-3"] = bytes(bad)
    bad = bytearray(archive)
    struct.pack_into("<i", bad, first_at + 1 + first_len + 4, size)
    out["stored-size-past-end"] = bytes(bad)
    bad = bytearray(archive)
    struct.pack_into("<i", bad, first_at + 1 + first_len, -size - 1)
    out["position-before-start"] = bytes(bad)
    bad = bytearray(archive)
    bad[first_at + 1] = ord("/")
    out["name-with-slash"] = bytes(bad)
    bad = bytearray(archive)
    bad[first_at + 1] = 0
    out["name-with-zero"] = bytes(bad)
    bad = bytearray(archive)
    bad[-8] = 0x30  # the directory's end byte becomes a length
    out["directory-into-trailer"] = bytes(bad)
    return out


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    vtxpack, outdirs = sys.argv[1], sys.argv[2:]
    rng = random.Random(20240611)
    noise = bytes(rng.getrandbits(8) for _ in range(96))
    tiles = b"".join(b"tile %d grass\n" % (i % 9) for i in range(200))
    work = tempfile.mkdtemp(prefix="vtx-seeds-")
    seeds = {}
    try:
        os.makedirs(os.path.join(work, "w"))
        w = os.path.join(work, "w")
        small = pack(vtxpack, b"#!program bytes\n", [("a.txt", b"hello\n"), ("b.bin", noise), ("empty.dat", b"")], w)
        seeds["valid-small"] = small
        seeds["valid-archive-only"] = pack(vtxpack, b"", [("a.txt", b"just an archive\n")], w)
        seeds["valid-compressible"] = pack(vtxpack, b"PRG", [("Level.MAP", tiles), ("B.BIN", noise[:40])], w)
        twins = bytearray(pack(vtxpack, b"x", [("a.txt", b"one"), ("b.txt", b"two")], w))
        at = twins.rindex(b"b.txt")
        twins[at:at + 5] = b"A.TXT"
        seeds["valid-twins-by-case"] = bytes(twins)
        seeds["valid-negative-positions"] = with_negative_positions(small)
        seeds["no-archive"] = b"a program without any archive at all\n"
        seeds["trailer-only"] = b"zeZ" + struct.pack("<i", 0)
        seeds["empty-directory"] = b"P\x00zeZ" + struct.pack("<i", 1)
        for name, data in variants(small).items():
            seeds["bad-" + name] = data
    finally:
        shutil.rmtree(work)
    for outdir in outdirs:
        os.makedirs(outdir, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(outdir, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
