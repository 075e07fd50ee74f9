#!/usr/bin/env bash
# Installs the build into a temporary prefix, then checks that the installed
# programs find their data there from an unrelated working folder, count as
# the build's own program does, and that the desktop files are in place.
#   install_test.sh BUILD_DIR DIST_DIR SOURCE_DIR "CONF_FILES;..."
set -euo pipefail

build=$1 dist=$2 src=$3
IFS=';' read -r -a conf_files <<<"${4:-}"

tmp=$(realpath "$(mktemp -d)")
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
same() { # installed file, source file
    [ -f "$1" ] || fail "not installed: $1"
    cmp -s "$1" "$2" || fail "$1 differs from $2"
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share/linecast

# The data, where the programs look for it from bin/.
[ -x "$prefix/bin/linecast" ] || fail "no $prefix/bin/linecast"
[ -x "$prefix/bin/linecast-cli" ] || fail "no $prefix/bin/linecast-cli"
same "$share/conf/conf.xml" "$src/conf/conf.xml"
for f in "${conf_files[@]}"; do
    same "$share/conf/$f" "$src/conf/$f"
done
# Every template of conf/, the translated ones in their language folders too,
# so one left out of LINECAST_CONF_FILES is found here.
while IFS= read -r -d '' f; do
    same "$share/conf/${f#"$src/conf/"}" "$f"
done < <(find "$src/conf" -name '*.html' -print0)
for f in "$src"/img/*.png "$src"/img/*.jpg "$src"/img/*.ico; do
    same "$share/img/${f##*/}" "$f"
done
while IFS= read -r -d '' f; do
    same "$share/locales/${f#"$dist/locales/"}" "$f"
done < <(find "$dist/locales" -name '*.mo' -print0)

# What the desktop lists, shows and documents.
desktop=$prefix/share/applications/org.quorvel.linecast.desktop
metainfo=$prefix/share/metainfo/org.quorvel.linecast.metainfo.xml
[ -f "$desktop" ] || fail "no $desktop"
[ -f "$metainfo" ] || fail "no $metainfo"
grep -qx "Exec=linecast" "$desktop" || fail "the desktop entry does not start linecast"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 22 24 32 48 64 128 256; do
    [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png" ] || fail "no $size px icon"
done
grep -q ">org.quorvel.linecast.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch the desktop entry"
for page in linecast linecast-cli; do
    [ -f "$prefix/share/man/man1/$page.1.gz" ] || fail "no manual page $page.1.gz"
done
for f in copyright changelog.Debian.gz; do
    [ -f "$prefix/share/doc/linecast/$f" ] || fail "no $f"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.txt" ||
        fail "appstreamcli validate: $(cat "$tmp/appstream.txt")"
fi
if command -v groff >/dev/null; then
    for page in linecast linecast-cli; do
        warnings=$(zcat "$prefix/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
        [ -z "$warnings" ] || fail "manual page $page: $warnings"
    done
fi

# Counting from a folder that holds no data, with no rules copy of the user's.
mkdir -p "$tmp/tree/sub" "$tmp/elsewhere"
printf 'int a;\n// note\n\nint b; /* why */\n' >"$tmp/tree/a.c"
printf '#pragma once\n\nint f(void);\n' >"$tmp/tree/sub/b.h"
printf '# comment\nprint(1)\n' >"$tmp/tree/sub/c.py"
cd "$tmp/elsewhere"
export XDG_CONFIG_HOME=$tmp/config
installed=$("$prefix/bin/linecast-cli" "$tmp/tree")
built=$("$dist/linecast-cli" "$tmp/tree")
[ "$installed" = "$built" ] ||
    fail "the installed linecast-cli counts differently:"$'\n'"$installed"$'\n'"---"$'\n'"$built"
grep -Eq '^Total +3 ' <<<"$installed" || fail "three files expected:"$'\n'"$installed"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "files left in the working folder"
[ ! -e "$XDG_CONFIG_HOME" ] || fail "linecast-cli wrote into the configuration folder"

# It reads the installed rules file and no other: without it, it names it.
mv "$share/conf/conf.xml" "$tmp/"
status=0
message=$("$prefix/bin/linecast-cli" --list-types 2>&1) || status=$?
[ "$status" = 2 ] || fail "status $status without a rules file"
[ "$message" = "linecast-cli: no rules file '$share/conf/conf.xml'" ] ||
    fail "looked elsewhere: $message"
echo "installed into $prefix: data, desktop files and counts as expected"
