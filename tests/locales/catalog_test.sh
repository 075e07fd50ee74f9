#!/usr/bin/env bash
# The catalogs speak every text of the program: the committed template is what
# the sources give today, and each language translates every entry of it,
# nothing fuzzy or empty, keeping formats, line breaks and "&" accelerators
# (msgfmt --check), the "\t" key after a menu entry, and the blanks at either
# end, since the program joins texts such as "Version " and the number.
# Usage: catalog_test.sh SOURCE_DIR
set -uo pipefail

locales=$1/locales
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

bash "$locales/catalogs.sh" template "$tmp/Linecast.pot" || exit 1
if ! diff -u <(grep -v '^"POT-Creation-Date:' "$locales/Linecast.pot") \
    <(grep -v '^"POT-Creation-Date:' "$tmp/Linecast.pot"); then
    echo "locales/Linecast.pot is not what the sources give: run bash scripts/dev i18n" >&2
    fail=1
fi

# Run by msgexec once a message: the translation on stdin, the English in
# MSGEXEC_MSGID. The header and untranslated entries are msgcmp's to report.
edges='
id=$MSGEXEC_MSGID
str=$(cat; printf x)
str=${str%x}
[ -n "$id" ] && [ -n "$str" ] || exit 0
bad() { printf "%s: %s\n  %q\n  %q\n" "$MSGEXEC_LOCATION" "$1" "$id" "$str" >&2; exit 1; }
[ "${id%%[![:space:]]*}" = "${str%%[![:space:]]*}" ] || bad "blanks at the start differ"
[ "${id##*[![:space:]]}" = "${str##*[![:space:]]}" ] || bad "blanks at the end differ"
tab=$(printf "\t")
case $id in
*"$tab"*) [ "${str#*"$tab"}" = "${id#*"$tab"}" ] || bad "the key after the tab differs" ;;
esac
'

for po in "$locales"/*/Linecast.po; do
    lang=$(basename "$(dirname "$po")")
    msgfmt --check --check-accelerators='&' -o /dev/null "$po" || fail=1
    # Fails for an entry of the template the catalog lacks, or has fuzzy or empty.
    msgcmp "$po" "$tmp/Linecast.pot" || fail=1
    msgexec -i "$po" bash -c "$edges" || fail=1
    [ $fail -eq 0 ] && echo "$lang: $(msgfmt --statistics -o /dev/null "$po" 2>&1)"
done
exit $fail
