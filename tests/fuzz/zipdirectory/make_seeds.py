#!/usr/bin/env python3
"""Writes the seed corpus of the directory-reader fuzzer: small archives of every shape the reader
knows (plain, commented, empty, behind an MZ stub, spanned, truncated), and the shapes that once
made it work without end."""
import io, os, struct, sys, zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def archive(entries, comment=b"", compression=zipfile.ZIP_STORED):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", compression) as z:
        z.comment = comment
        for name, data in entries:
            z.writestr(name, data)
    return out.getvalue()

def end_record(this_disk, start_disk, on_disk, total, size, offset, comment=b""):
    return b"PK\x05\x06" + struct.pack("<HHHHIIH", this_disk, start_disk, on_disk, total, size, offset, len(comment)) + comment

stub = bytearray(0x80)
stub[0:2] = b"MZ"; stub[0x18] = 0x40; stub[0x3C] = 0x40; stub[0x40:0x42] = b"NE"
plain = archive([("a.txt", b"alpha"), ("dir/b.txt", b"beta" * 10)], b"comment")
seeds = {
    "plain.zip": plain,
    "deflated.zip": archive([("c.txt", b"gamma" * 100)], compression=zipfile.ZIP_DEFLATED),
    "empty.zip": end_record(0, 0, 0, 0, 0, 0),
    "stub.exe": bytes(stub) + archive([("x", b"y")]),
    "spanned.zip": plain[:-22 - 7] + end_record(2, 1, 1, 3, 50, 10),
    "truncated.zip": plain[:len(plain) // 2] + plain[-29:],
    "counts-lie.zip": plain[:-29] + end_record(0, 0, 0xFFFF, 0xFFFF, 0xFFFFFF, 0),
}

def central_header(name, comment_length, offset=0):
    return (b"PK\x01\x02" + struct.pack("<HHHHHHIIIHHHHHII", 20, 20, 0, 0, 0, 0x21, 0, 0, 0,
                                       len(name), 0, comment_length, 0, 0, 0, offset) + name)

# 2 KiB: a central header at 0 whose comment runs to the end of the file, holding two end records
# that claim 65,535 disks. The last one sends the reader to the first, which has it start over at
# the directory on disk 0; from then on every "next disk" is the same file, whose only header
# swallows the rest of it, so the reader opens it again 65,535 times.
loop = bytearray(central_header(b"a", 2048 - 47))
loop += bytes(100 - len(loop)) + end_record(0xFFFF, 0, 1, 1, 0, 0)
loop += bytes(2048 - 22 - len(loop)) + end_record(0xFFFF, 0, 1, 1, 0, 100)
seeds["blowup-65535-disks-same-file-comment-to-end.zip"] = bytes(loop)

for name, data in seeds.items():
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)
