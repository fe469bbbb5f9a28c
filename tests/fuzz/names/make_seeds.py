#!/usr/bin/env python3
"""Writes the seed corpus of the name-decoder fuzzer. Each seed is two bytes of flags, the length
of the stored name, the name, and an extra field."""
import os, struct, zlib

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)
UTF8 = 1 << 11

def seed(flags, name, extra=b""):
    return struct.pack("<HB", flags, len(name)) + name + extra

def unicode_path(stored, text, version=1):
    body = struct.pack("<BI", version, zlib.crc32(stored)) + text
    return struct.pack("<HH", 0x7075, len(body)) + body

seeds = {
    "ascii": seed(0, b"dir/file.txt"),
    "cp437": seed(0, b"\x80\x81\x82 \xe1\xb0\xdb.txt"),
    "utf8-unflagged": seed(0, "naïve/日本.txt".encode()),
    "utf8-flagged": seed(UTF8, "Ελληνικά😀".encode()),
    "utf8-flagged-broken": seed(UTF8, b"ok\xc3(\xed\xa0\x80\xf4\x90\x80\x80\xc0\xaf"),
    "control-characters": seed(UTF8, "a\tb\x1b[2Jc\x7fd\u0085e".encode()),
    "unicode-path-field": seed(0, b"caf\x82", unicode_path(b"caf\x82", "café".encode())),
    "unicode-path-stale": seed(0, b"new", unicode_path(b"old", "ancien".encode())),
    "unicode-path-version-2": seed(0, b"x", unicode_path(b"x", b"y", version=2)),
    "extra-overrun": seed(0, b"x", struct.pack("<HH", 0x7075, 200) + b"\x01"),
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
