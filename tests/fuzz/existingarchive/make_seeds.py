#!/usr/bin/env python3
"""Writes the seed corpus of the existing-archive fuzzer: small archives dzip can change (plain,
deflated, behind a stub, with a data descriptor, a Unicode path field) and ones it must refuse
(ZIP64 fields, a record that runs into the directory, ambiguous end records, counts that lie,
spanned); overlapping entries too."""
import os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from zipseeds import build, central_header, local_header, write_seeds, zip_seeds

seeds = zip_seeds()
seeds["record-into-directory.zip"] = build([local_header(b"x", b"")], [central_header(b"x", 40, 0)])
write_seeds(__file__, seeds)
