#!/usr/bin/env python3
"""Writes the seed corpus of the local-header fuzzer: local and central headers with names, extra
fields and data descriptors, whole and cut short."""
import os, struct

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def local(name, extra=b"", flags=0, method=8):
    return b"PK\x03\x04" + struct.pack("<HHHHHIIIHH", 20, flags, method, 0x6000, 0x5A21, 0x12345678, 10, 20,
                                       len(name), len(extra)) + name + extra

def central(name, extra=b"", comment=b"", flags=0):
    return b"PK\x01\x02" + struct.pack("<HHHHHHIIIHHHHHII", 0x031E, 20, flags, 8, 0x6000, 0x5A21, 1, 2, 3,
                                       len(name), len(extra), len(comment), 0, 0, 0o100644 << 16, 0) + name + extra + comment

timestamp = struct.pack("<HHBI", 0x5455, 5, 1, 1700000000)
zip64 = struct.pack("<HHQQ", 0x0001, 16, 1, 2)
seeds = {
    "local-plain": local(b"dir/file.txt"),
    "local-descriptor": local(b"streamed", flags=8) + b"PK\x07\x08" + struct.pack("<III", 1, 2, 3),
    "local-extra": local(b"x", timestamp + zip64),
    "local-utf8": local("d\u00e9j\u00e0".encode(), flags=0x800),
    "local-cut": local(b"cut-name")[:33],
    "central-comment": central(b"name", timestamp, b"comment"),
    "central-cp437": central(b"\x81ber\x1b[2J"),
    "extra-overrun": local(b"y", struct.pack("<HH", 0x0001, 0xFFFF) + b"abc"),
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
