#!/usr/bin/env python3
"""Writes the seed corpus of the Deflate64 fuzzer. Each seed is one byte (bit 0: Deflate64, else
deflate), then the raw stream. Deflate streams come from zlib; Deflate64 streams from 7-Zip, taken
out of the ZIP archives it writes."""
import os, subprocess, tempfile, zipfile, zlib

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def raw_deflate(data, level=9):
    compressor = zlib.compressobj(level, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush()

def seven_zip_deflate64(data):
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "f"), "wb") as f:
            f.write(data)
        subprocess.run(["7z", "a", "-tzip", "-mm=Deflate64", "-mx=9", "a.zip", "f"], cwd=work,
                       check=True, stdout=subprocess.DEVNULL)
        archive = os.path.join(work, "a.zip")
        info = zipfile.ZipFile(archive).infolist()[0]
        with open(archive, "rb") as f:
            f.seek(info.header_offset + 26)
            name_length, extra_length = int.from_bytes(f.read(2), "little"), int.from_bytes(f.read(2), "little")
            f.seek(info.header_offset + 30 + name_length + extra_length)
            return f.read(info.compress_size)

text = b"".join(b"line %d of a text with repeats\n" % (i % 50) for i in range(3000))
far = os.urandom(40000)
# Repeats 40 KB apart need Deflate64's distance codes 30 and 31; a long run its 16-bit lengths.
seeds = {
    "deflate-text": b"\0" + raw_deflate(text),
    "deflate-stored": b"\0" + raw_deflate(text[:3000], 0),
    "deflate-fixed": b"\0" + raw_deflate(b"abcabcabcabc" * 3, 1),
    "deflate-garbage": b"\0" + b"\xff" * 40,
    "deflate64-text": b"\1" + seven_zip_deflate64(text),
    "deflate64-far-distances": b"\1" + seven_zip_deflate64(far + b"x" * 100 + far),
    "deflate64-long-run": b"\1" + seven_zip_deflate64(b"z" * 200000),
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
