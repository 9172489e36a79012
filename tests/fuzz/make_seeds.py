#!/usr/bin/env python3
"""Builds the seed corpus of the SILK decoder fuzz target from voice files.

usage: make_seeds.py OUTDIR FILE...

Every voice file is kept as it is (the target reads those through the container reader) and is
also rewritten in the target's own packet framing, once as received and once with every fourth
packet lost, with redundant-copy searches and table-of-contents walks on the others, and
once with the output rate changing every ten packets.
"""
import os
import struct
import sys

MAX_PACKETS = 60  # short seeds keep the fuzzer fast; the start of a stream is the varied part


def packets(data):
    pos = 1 if data[:1] == b"\x02" else 0
    pos += 9
    out = []
    while pos + 2 <= len(data) and len(out) < MAX_PACKETS:
        (n,) = struct.unpack_from("<h", data, pos)
        pos += 2
        if n < 0 or pos + n > len(data):
            break
        out.append(data[pos:pos + n])
        pos += n
    return out


def framed(rate_index, pkts, mode_of):
    out = bytearray([rate_index])
    for i, p in enumerate(pkts):
        mode = mode_of(i)
        out.append(mode)
        if mode & 0x80:
            out.append(i // 10)  # the next output rate
        out += struct.pack("<H", min(len(p), 0x7FF)) + p[:0x7FF]
    return bytes(out)


def main():
    outdir, files = sys.argv[1], sys.argv[2:]
    os.makedirs(outdir, exist_ok=True)
    for k, path in enumerate(files):
        data = open(path, "rb").read()
        base = os.path.basename(path)
        open(os.path.join(outdir, base), "wb").write(data)
        pkts = packets(data)
        if not pkts:
            continue
        open(os.path.join(outdir, base + ".clean"), "wb").write(framed(k % 7, pkts, lambda i: 0))
        lossy = lambda i: 0x01 if i % 4 == 3 else (0x02 | 0x04 * (1 + i % 2) | 0x10 | 0x20 * (i % 3 == 0))
        open(os.path.join(outdir, base + ".lossy"), "wb").write(framed((k + 3) % 7, pkts, lossy))
        switching = lambda i: 0x80 if i % 10 == 5 else 0
        open(os.path.join(outdir, base + ".rates"), "wb").write(framed(k % 7, pkts, switching))


if __name__ == "__main__":
    main()
