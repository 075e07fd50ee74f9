#!/usr/bin/env bash
# The interface's message catalogs (see README.md in this folder):
#   locales/catalogs.sh update         extract every translatable text of src/ into
#                                      Linecast.pot and merge it into each <lang>/Linecast.po
#   locales/catalogs.sh template FILE  write the template to FILE only
# New texts arrive in the catalogs with an empty translation, which the catalog
# test reports until someone translates them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")

# Writes the template of the sources' texts to $1. Locations name the file
# only: line numbers would change the template and every catalog whenever
# code moves, and turn each merge of two branches into a conflict. Long texts
# stay on one line, for plain diffs and grep.
template() {
    local out
    out=$(realpath -m "$1")
    local sources
    sources=$(cd "$root" && find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
    # shellcheck disable=SC2086 # one file name a word; the tree has no blanks in names
    (cd "$root" && xgettext --language=C++ --from-code=UTF-8 \
        --keyword=_ --keyword=wxPLURAL:1,2 --keyword=wxTRANSLATE \
        --add-comments=TRANSLATORS: --sort-by-file --add-location=file --no-wrap \
        --package-name=Linecast --msgid-bugs-address=linecast@quorvel.org \
        --copyright-holder=Quorvel --output="$out" $sources)
    sed -i '1s/.*/# Every translatable text of the Linecast interface./' "$out"
}

# The template without its creation time, for comparing.
dateless() {
    grep -v '^"POT-Creation-Date:' "$1"
}

update() {
    local pot="$here/Linecast.pot" tmp
    tmp=$(mktemp)
    trap 'rm -f "$tmp"' RETURN
    template "$tmp"
    # A new creation time alone is no change: keep the file as it is.
    if [ -f "$pot" ] && cmp -s <(dateless "$pot") <(dateless "$tmp"); then
        echo "Linecast.pot: unchanged"
    else
        cp "$tmp" "$pot"
        echo "Linecast.pot: written"
    fi
    local po
    for po in "$here"/*/Linecast.po; do
        # No guesses from similar texts: a guess would be marked fuzzy and
        # shown to nobody, so new texts arrive plainly untranslated instead.
        msgmerge --quiet --update --backup=none --no-fuzzy-matching --add-location=file --no-wrap \
            "$po" "$pot"
        # Texts the program no longer has go; git keeps their old wording.
        msgattrib --no-obsolete --add-location=file --no-wrap --output-file="$po" "$po"
        echo "${po#"$here/"}: $(msgfmt --statistics -o /dev/null "$po" 2>&1)"
    done
}

case "${1:-}" in
update)
    update
    ;;
template)
    [ $# -eq 2 ] || { echo "usage: $0 template FILE" >&2; exit 2; }
    template "$2"
    ;;
*)
    echo "usage: $0 update | template FILE" >&2
    exit 2
    ;;
esac
