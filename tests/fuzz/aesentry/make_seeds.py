#!/usr/bin/env python3
"""Writes the seed corpus of the AES entry fuzzer. Each seed is the length of an extra field, the
field, a 24-bit declared size, then the entry's data. The entries are 7-Zip's, encrypted with the
password "fuzz", taken out of the archives it writes."""
import os, struct, subprocess, tempfile, zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def seven_zip_entry(data, options):
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "f"), "wb") as f:
            f.write(data)
        subprocess.run(["7z", "a", "-tzip", "-pfuzz", *options, "a.zip", "f"], cwd=work, check=True,
                       stdout=subprocess.DEVNULL)
        archive = os.path.join(work, "a.zip")
        info = zipfile.ZipFile(archive).infolist()[0]
        with open(archive, "rb") as f:
            f.seek(info.header_offset + 26)
            name_length, extra_length = struct.unpack("<HH", f.read(4))
            f.seek(info.header_offset + 30 + name_length + extra_length)
            payload = f.read(info.compress_size)
        return bytes([len(info.extra)]) + info.extra + struct.pack("<I", info.file_size)[:3] + payload

text = b"an entry that 7-Zip encrypts with AES\n" * 40
seeds = {
    "aes256-deflate": seven_zip_entry(text, ["-mem=AES256"]),
    "aes128-stored": seven_zip_entry(text[:100], ["-mem=AES128", "-mm=Copy"]),
    "aes192-bzip2": seven_zip_entry(text, ["-mem=AES192", "-mm=BZip2"]),
    "aes256-lzma": seven_zip_entry(text, ["-mem=AES256", "-mm=LZMA"]),
    "aes-field-only": bytes([11]) + struct.pack("<HHHHBH", 0x9901, 7, 2, 0x4541, 3, 8) + b"\x10\0\0",
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
