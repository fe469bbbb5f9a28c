#!/usr/bin/env python3
"""Writes the seed corpus of the archive-index fuzzer: small archives dunzip must index (plain,
deflated, behind a stub, with a data descriptor, ZIP64 fields, a Unicode path field), ones it must
refuse (ambiguous, counts that lie, spanned) and overlapping entries."""
import os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from zipseeds import write_seeds, zip_seeds

write_seeds(__file__, zip_seeds())
