#!/usr/bin/env python3
"""Makes a deterministic "next release" of a source tree for bench/run-compare.sh.

    python3 bench/edit-tree.py SEED PERCENT TREE

Picks PERCENT per cent of TREE's *.c and *.h files (sorted by path, chosen
with the given seed) and changes each one in place: three in five are edited
(runs of lines changed, inserted and deleted), one in five is removed, and
for one in five a new file is added beside it (a copy with some lines
changed). Prints how many files it edited, removed and added.
"""
import os
import random
import sys


def source_files(tree):
    found = []
    for folder, subfolders, names in os.walk(tree):
        subfolders[:] = sorted(d for d in subfolders if not d.startswith("."))
        for name in names:
            if not name.startswith(".") and name.lower().endswith((".c", ".h")):
                path = os.path.join(folder, name)
                if os.path.isfile(path) and not os.path.islink(path):
                    found.append(path)
    return sorted(found)


def edited(rng, lines):
    lines = list(lines)
    for _ in range(rng.randint(1, 8)):
        at = rng.randrange(len(lines) + 1)
        run = rng.randint(1, 6)
        what = rng.randrange(3)
        if what == 0:
            lines[at:at] = [b"\t/* added in the next release */\n"] * run
        elif what == 1:
            del lines[at:at + run]
        else:
            for i in range(at, min(len(lines), at + run)):
                lines[i] = lines[i].rstrip(b"\n") + b" /* changed */\n"
    return lines


def main():
    seed, percent, tree = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
    rng = random.Random(seed)
    files = source_files(tree)
    chosen = sorted(rng.sample(files, int(len(files) * percent / 100)))
    counts = {"edited": 0, "removed": 0, "added": 0}
    for path in chosen:
        what = rng.randrange(5)
        if what == 3:
            os.remove(path)
            counts["removed"] += 1
            continue
        with open(path, "rb") as f:
            lines = f.readlines()
        if what == 4:
            stem, ext = os.path.splitext(path)
            with open(stem + "_next" + ext, "wb") as f:
                f.writelines(edited(rng, lines))
            counts["added"] += 1
        else:
            with open(path, "wb") as f:
                f.writelines(edited(rng, lines))
            counts["edited"] += 1
    print("%(edited)d edited, %(removed)d removed, %(added)d added" % counts)


if __name__ == "__main__":
    main()
