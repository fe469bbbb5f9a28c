"""Builders of small ZIP archives for the seed corpora of the fuzzers that read ZIP directories, and
the seeds they share. Dates are fixed, so the seeds come out the same every time."""
import io, os, struct, zipfile

DATE = (2001, 2, 3, 4, 5, 6)


def archive(entries, comment=b"", compression=zipfile.ZIP_STORED):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", compression) as z:
        z.comment = comment
        for name, data in entries:
            z.writestr(zipfile.ZipInfo(name, DATE), data)
    return out.getvalue()


def end_record(this_disk, start_disk, on_disk, total, size, offset, comment=b""):
    return b"PK\x05\x06" + struct.pack("<HHHHIIH", this_disk, start_disk, on_disk, total, size, offset, len(comment)) + comment


def local_header(name, data, flags=0):
    return b"PK\x03\x04" + struct.pack("<HHHHHIIIHH", 20, flags, 0, 0, 0x21, 0, len(data), len(data), len(name), 0) + name + data


def central_header(name, size, offset, flags=0, extra=b""):
    return (b"PK\x01\x02" + struct.pack("<HHHHHHIIIHHHHHII", 20, 20, flags, 0, 0, 0x21, 0, size, size,
                                       len(name), len(extra), 0, 0, 0, 0, offset) + name + extra)


def build(locals_, centrals):
    body = b"".join(locals_)
    directory = b"".join(centrals)
    return body + directory + end_record(0, 0, len(centrals), len(centrals), len(directory), len(body))


def zip_seeds():
    """The archives both ZIP directory fuzzers start from."""
    plain = archive([("a.txt", b"alpha"), ("dir/", b""), ("dir/b.txt", b"beta" * 10)], b"comment")
    one = local_header(b"x", b"0123456789")
    name = "é.txt".encode()
    unicode_field = struct.pack("<HHB", 0x7075, 5 + len(name), 1) + struct.pack("<I", 0) + name
    return {
        "plain.zip": plain,
        "deflated.zip": archive([("c.txt", b"gamma" * 100)], compression=zipfile.ZIP_DEFLATED),
        "empty.zip": end_record(0, 0, 0, 0, 0, 0),
        "behind-stub.zip": b"MZ" + bytes(62) + plain,
        "overlapping.zip": build([one], [central_header(b"x", 10, 0), central_header(b"y", 10, 0)]),
        "descriptor.zip": build([local_header(b"d", b"data", flags=8) + b"PK\x07\x08" + bytes(12)],
                                [central_header(b"d", 4, 0, flags=8)]),
        "zip64-extra.zip": build([one], [central_header(b"x", 10, 0xFFFFFFFF, extra=struct.pack("<HHQ", 1, 8, 0))]),
        "unicode-path.zip": build([one], [central_header(b"x", 10, 0, extra=unicode_field)]),
        "ambiguous.zip": plain[:-22 - 7] + end_record(0, 0, 3, 3, 0, 0) + plain[-29:],
        "counts-lie.zip": plain[:-29] + end_record(0, 0, 9, 9, 0xFFFF, 0),
        "spanned.zip": plain[:-29] + end_record(2, 1, 1, 3, 50, 10),
    }


def write_seeds(script, seeds):
    """Writes the seeds into the seeds folder beside the calling script."""
    here = os.path.join(os.path.dirname(os.path.abspath(script)), "seeds")
    os.makedirs(here, exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(here, name), "wb") as f:
            f.write(data)
