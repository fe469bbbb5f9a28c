#!/usr/bin/env python3
"""Writes the seed corpus of the job file harness: jobs of both kinds as the program writes them,
and the damaged and hostile forms a job file may come in."""

import os

SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")

ZIP_JOB = (
    "[Options]\nAddNewerFiles=1\nBackupEntireDrive=0\nEditZIPComment=1\nIncSysHiddenFiles=0\n"
    "OldAsLatest=0\nRecurseSubdirs=1\nStorePath=1\nAction=2\nCompMethod=8\nSpanDisks=0\n"
    "Date=06/01/2024\nPassword=secret\nTempFilePath=/var/tmp\nDirectory=/home/ann/work\n"
    "Exclude=*.o\nInclude=\"a b.txt\" *.c\nZIPFile=/backup/work.zip\n\n[Comment]\n0=Nightly\n1=\n2=backup\n"
)
UNZIP_JOB = (
    "[Options]\nOverwrite=1\nRecreate=1\nRecurse=0\nAction=3\nPassword=\nDirectory=/restore\n"
    "Include=*.txt\nZIPFile=/backup/work.zip\n"
)

SEEDS_BY_NAME = {
    "zip-job.cfz": ZIP_JOB.encode(),
    "unzip-job.cfu": UNZIP_JOB.encode(),
    "crlf-and-case.cfz": ZIP_JOB.replace("\n", "\r\n").replace("[Options]", "[options]").encode(),
    "duplicate-keys.cfz": (ZIP_JOB + "[Options]\nAction=9\n[Comment]\n0=again\n1=x\n").encode(),
    "comment-gap.cfz": b"[Comment]\n0=first\n1=second\n3=fourth\n",
    "out-of-range.cfu": b"[Options]\nAction=-7\nOverwrite=99999999999999\nRecreate=x\n",
    "overlong-value.cfz": b"[Options]\nZIPFile=" + b"z" * 300 + b"\n",
    "overlong-comment-line.cfz": b"[Comment]\n0=" + b"c" * 32050 + b"\n",
    "many-comment-lines.cfz": b"[Comment]\n" + b"".join(b"%d=x\n" % i for i in range(5000)),
    "binary.cfz": bytes(range(256)) * 4,
    "nul-in-value.cfu": b"[Options]\nZIPFile=a\x00b.zip\nDirectory=\xff\xfe/out\n",
    "no-sections.cfz": b"Action=1\nZIPFile=a.zip\n",
}


def main():
    os.makedirs(SEEDS, exist_ok=True)
    for name, data in SEEDS_BY_NAME.items():
        with open(os.path.join(SEEDS, name), "wb") as seed:
            seed.write(data)


if __name__ == "__main__":
    main()
