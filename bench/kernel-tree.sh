#!/usr/bin/env bash
# Unpacks Debian's linux-source-6.1 once into CACHE/linux and prints the
# folder of the tree, for the benchmarks that count it:
#
#   ktree=$(bash bench/kernel-tree.sh CACHE)
set -euo pipefail

cache=$1
kroot="$cache/linux"
mkdir -p "$cache"
if [ ! -f "$kroot/.unpacked" ]; then
    tarball=$(ls /usr/src/linux-source-6.1.tar.* | head -n 1)
    printf 'Unpacking %s into %s (once)\n' "$tarball" "$kroot" >&2
    rm -rf "$kroot"
    mkdir -p "$kroot"
    tar -xf "$tarball" -C "$kroot"
    touch "$kroot/.unpacked"
fi
find "$kroot" -mindepth 1 -maxdepth 1 -type d -name 'linux-source-*' | head -n 1
