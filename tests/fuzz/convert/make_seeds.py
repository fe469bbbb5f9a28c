#!/usr/bin/env python3
"""Writes the seeds of fuzz_convert: small archives the converter takes (plain, with a data
descriptor, with a stub in front, with ZIP64 records), a DOS program header and a Windows image
record with tables to walk."""
import io, os, struct, zipfile

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
os.makedirs(here, exist_ok=True)

def write(name, data):
    with open(os.path.join(here, name), "wb") as f:
        f.write(data)

def archive(**options):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_STORED) as z:
        z.writestr("Long Name.text", b"data" * 10)
        with z.open("wide.bin", "w", force_zip64=options.get("zip64", False)) as f:
            f.write(b"wide")
        z.comment = b"comment"
    return buffer.getvalue()

class Unseekable(io.RawIOBase):
    def __init__(self): self.data = bytearray()
    def writable(self): return True
    def write(self, b): self.data += b; return len(b)

streamed = Unseekable()
with zipfile.ZipFile(streamed, "w") as z:
    z.writestr("streamed.txt", b"x" * 100)

write("plain.zip", archive())
write("zip64.zip", archive(zip64=True))
write("descriptor.zip", bytes(streamed.data))
write("stub-joined.exe", b"MZ" + bytes(200) + archive())

# An MS-DOS header of a 100-byte program: last page 100 bytes, one page, relocations at 0x40.
dos = bytearray(100)
dos[0:2] = b"MZ"
struct.pack_into("<HHHH", dos, 2, 100, 1, 0, 4)
struct.pack_into("<H", dos, 0x18, 0x40)
write("dos-program", bytes(dos))

# A Windows image record: 8-byte record, "NE" header with a segment table and a resource table.
image = bytearray(160)
image[0:2] = b"NE"
struct.pack_into("<H", image, 0x1C, 1)       # one segment
struct.pack_into("<H", image, 0x22, 0x40)    # segment table
struct.pack_into("<H", image, 0x24, 0x48)    # resource table
struct.pack_into("<H", image, 0x26, 0x60)    # resident names
struct.pack_into("<I", image, 0x2C, 0x80 + 0x70)
struct.pack_into("<H", image, 0x32, 4)
struct.pack_into("<HHHH", image, 0x40, 0x10, 16, 0, 16)
struct.pack_into("<HHHI", image, 0x48, 4, 0x800A, 1, 0)
struct.pack_into("<HHHHI", image, 0x52, 0x11, 1, 0x30, 0x8001, 0)  # its one resource; 0x5E ends the types
write("windows-image", struct.pack("<HHHH", len(image), 0, 0x80, 0) + bytes(image))
