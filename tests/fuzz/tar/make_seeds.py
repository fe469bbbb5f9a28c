#!/usr/bin/env python3
"""Writes the seed corpus of the TAR fuzzer: TAR archives of each format, plain and compressed with
the kinds Python writes itself, and a few damaged ones. Each seed is one byte that sets how short the
harness's reads are (0: all at once), then the archive."""
import bz2, gzip, io, lzma, os, tarfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def archive(fmt, long_name=False):
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w", format=fmt) as tar:
        def add(name, data=b"", kind=tarfile.REGTYPE, link=""):
            info = tarfile.TarInfo(name)
            info.type, info.linkname, info.size, info.mtime, info.mode = kind, link, len(data), 1735732800, 0o644
            tar.addfile(info, io.BytesIO(data))
        add("dir/", kind=tarfile.DIRTYPE)
        add("dir/text.txt", b"hello\n" * 40)
        add("dir/link", kind=tarfile.SYMTYPE, link="text.txt")
        add("hard", kind=tarfile.LNKTYPE, link="dir/text.txt")
        if long_name:
            add("long/" + "n" * 150 + "/\u00e4\u20ac.txt", b"long")
    return out.getvalue()

ustar = archive(tarfile.USTAR_FORMAT)
gnu = archive(tarfile.GNU_FORMAT, long_name=True)
pax = archive(tarfile.PAX_FORMAT, long_name=True)
bad_checksum = bytearray(ustar)
bad_checksum[512 + 3] ^= 1
seeds = {
    "ustar": b"\0" + ustar,
    "gnu-long-names": b"\0" + gnu,
    "pax-long-utf8-names": b"\0" + pax,
    "pax-in-7-byte-reads": b"\x07" + pax,
    "gzip": b"\0" + gzip.compress(gnu, mtime=0),
    "gzip-two-members-in-1-byte-reads": b"\x01" + gzip.compress(ustar[:1024], mtime=0) + gzip.compress(ustar[1024:], mtime=0),
    "gzip-trailing-garbage": b"\0" + gzip.compress(ustar, mtime=0) + b"garbage",
    "bzip2": b"\0" + bz2.compress(pax),
    "xz": b"\0" + lzma.compress(pax),
    "bad-checksum": b"\0" + bytes(bad_checksum),
    "truncated": b"\x1f" + gnu[:1500],
    "size-past-the-end": b"\0" + ustar[:124] + b"77777777777\0" + ustar[136:1024],
}
for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
