#!/usr/bin/env python3
"""Writes the seed corpora: for every fuzzer but the solver's (whose corpora are minimised
campaign output), a handful of pseudo-random inputs of growing
length from a generator seeded by the fuzzer's name, so the files are the same on every run.
FuzzedDataProvider decodes any bytes, so every input is a valid sequence of operations.

    fuzz/make_seeds.py            # rewrites fuzz/corpus/<name>/seed-<n>
"""
import pathlib
import random
import zlib

FUZZERS = ["map", "set", "vector", "handles", "bspline"]  # the solver corpora are minimised campaigns
LENGTHS = [16, 48, 96, 160, 256, 400]

corpus = pathlib.Path(__file__).resolve().parent / "corpus"
for name in FUZZERS:
    directory = corpus / name
    directory.mkdir(parents=True, exist_ok=True)
    generator = random.Random(zlib.crc32(name.encode()))
    for index, length in enumerate(LENGTHS):
        data = bytes(generator.randrange(256) for _ in range(length))
        (directory / f"seed-{index}").write_bytes(data)
