#!/usr/bin/env bash
# The help documents: the Japanese and Chinese PDFs give their text back exactly, and the
# generator refuses a character that no installed font can draw, naming it and its line.
#
#   tests/check-docs.sh DOCGEN PROGRAM_FOLDER
set -euo pipefail
docgen=$1
folder=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-docs: $*" >&2
    exit 1
}

gives_back() {
    local text
    text=$(pdftotext "$folder/$1" -)
    grep -qF "$2" <<<"$text" || fail "$1 does not give back \"$2\""
}
gives_back help_jp.pdf '測定値のリアルタイム配信'
gives_back 'Voltrix使用說明書.pdf' '序列埠疑難排解'

printf '# Title\n\nA private character: \356\200\200.\n' >"$work/private.md"
if said=$("$docgen" "$work/private.md" "$work/private.pdf" Title 'WenQuanYi Micro Hei' 2>&1); then
    fail "a character no font has was accepted"
fi
grep -qF "$work/private.md:3: U+E000" <<<"$said" || fail "the refusal names no character and line: $said"
[ ! -e "$work/private.pdf" ] || fail "a PDF was written with a character no font has"
