#!/usr/bin/env python3
"""Joins the result files of corvatin-batch --shard K/N runs back into input order.

    merge-shards.py OUT_DIR SHARD_DIR [SHARD_DIR ...]

Each SHARD_DIR is the --results-dir of one shard, started empty; beside its result files it holds the list the
shard kept of what it wrote ("shard-K-of-N.tsv": record, file, bytes, header flag). OUT_DIR receives every result
file with the shards' pieces in record order and a data file's header once, byte for byte what a single run would
have written. Standard library only.
"""

import glob
import os
import sys


def pieces(shard_dir):
    """(record, sequence, file, bytes, header) of every piece a shard wrote, read from its files in order."""
    journals = glob.glob(os.path.join(shard_dir, "shard-*-of-*.tsv"))
    if len(journals) != 1:
        sys.exit(f"merge-shards: {shard_dir} must hold exactly one shard-K-of-N.tsv (found {len(journals)})")
    offsets = {}
    result = []
    with open(journals[0], encoding="utf-8") as journal:
        for number, line in enumerate(journal, 1):
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 4:
                sys.exit(f"merge-shards: {journals[0]}:{number}: expected 4 tab-separated fields")
            record, name, size, header = int(fields[0]), fields[1], int(fields[2]), fields[3] == "1"
            path = name if os.path.isabs(name) else os.path.join(shard_dir, name)
            at = offsets.get(path, 0)
            with open(path, "rb") as f:
                f.seek(at)
                data = f.read(size)
            if len(data) != size:
                sys.exit(f"merge-shards: {path} is shorter than {journals[0]} says")
            offsets[path] = at + size
            result.append((record, number, name, data, header))
    return result


def main(argv):
    if len(argv) < 3:
        sys.exit("usage: merge-shards.py OUT_DIR SHARD_DIR [SHARD_DIR ...]")
    out_dir, shard_dirs = argv[1], argv[2:]
    everything = []
    for index, shard_dir in enumerate(shard_dirs):
        everything += [(record, index, number, name, data, header)
                       for record, number, name, data, header in pieces(shard_dir)]
    everything.sort(key=lambda piece: piece[:3])
    os.makedirs(out_dir, exist_ok=True)
    outputs, headed = {}, set()
    try:
        for _record, _index, _number, name, data, header in everything:
            base = os.path.basename(name)
            if header:
                # Every shard wrote the header with its first line; the joined file keeps the first one only.
                if base in headed:
                    data = data[data.index(b"\n") + 1:]
                headed.add(base)
            if base not in outputs:
                outputs[base] = open(os.path.join(out_dir, base), "xb")
            outputs[base].write(data)
    except FileExistsError as error:
        sys.exit(f"merge-shards: {error.filename} exists already; OUT_DIR must not hold result files")
    finally:
        for f in outputs.values():
            f.close()


if __name__ == "__main__":
    main(sys.argv)
