#!/usr/bin/env python3
"""Writes the seed corpus of the inflate fuzzer. Each seed is one flags byte (bit 0 deflated, bit 1
encrypted), a 24-bit declared size, then the entry's data."""
import os, struct, zlib

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def raw_deflate(data):
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush()

def seed(flags, declared, payload):
    return bytes([flags]) + struct.pack("<I", declared)[:3] + payload

text = b"the quick brown fox jumps over the lazy dog\n" * 50
seeds = {
    "stored": seed(0, len(text), text),
    "deflated": seed(1, len(text), raw_deflate(text)),
    "deflated-declared-short": seed(1, 10, raw_deflate(text)),
    "bomb": seed(1, 1000, raw_deflate(b"\0" * 1000000)),
    "garbage": seed(1, 100, b"\xff" * 64),
    "encrypted-header": seed(3, 100, bytes(range(12)) + raw_deflate(text)),
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
