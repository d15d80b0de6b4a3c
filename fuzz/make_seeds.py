#!/usr/bin/env python3
"""Writes starting corpora: for every fuzzer named, a handful of pseudo-random inputs of growing
length from a generator seeded by the fuzzer's name, so the files are the same on every run.
FuzzedDataProvider decodes any bytes, so every input is a valid sequence of operations. A
campaign (scripts/fuzz.sh) grows a corpus from them; the corpora kept in fuzz/corpus/ are the
campaign's, minimised with -merge=1, and are not rewritten by this script unless named.

    fuzz/make_seeds.py NAME...     # writes fuzz/corpus/<name>/seed-<n>
"""
import pathlib
import random
import sys
import zlib

LENGTHS = [16, 48, 96, 160, 256, 400]

if len(sys.argv) < 2:
    sys.exit(__doc__)
corpus = pathlib.Path(__file__).resolve().parent / "corpus"
for name in sys.argv[1:]:
    directory = corpus / name
    directory.mkdir(parents=True, exist_ok=True)
    generator = random.Random(zlib.crc32(name.encode()))
    for index, length in enumerate(LENGTHS):
        data = bytes(generator.randrange(256) for _ in range(length))
        (directory / f"seed-{index}").write_bytes(data)
