#!/usr/bin/env bash
# Makes the .xls test workbooks: tools/make-xls-fixtures.cpp writes .xlsx records and the list
# of their cells, a real spreadsheet program (LibreOffice, headless) converts them to .xls.
# Needs libreoffice-calc-nogui, which CI does not install: the results are committed.
#
#   tools/make-xls-fixtures.sh                  refresh tests/data/xls and fuzz/seeds/xlsreader
#   tools/make-xls-fixtures.sh --full OUTDIR    OUTDIR/full-record.xls, a full 9,999-row record
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

c++ -std=c++17 -O1 -o "$work/make-xls-fixtures" "$root/tools/make-xls-fixtures.cpp" \
    $(pkg-config --cflags --libs xlsxwriter minizip)

convert() { # FILE.xlsx OUTDIR
    soffice -env:UserInstallation=file://"$work/lo-profile" --headless \
        --convert-to 'xls:MS Excel 97' --outdir "$2" "$1" >/dev/null
}

if [[ ${1:-} == --full ]]; then
    out="${2:?an output folder}"
    mkdir -p "$out"
    "$work/make-xls-fixtures" --full "$work/full-record.xlsx"
    convert "$work/full-record.xlsx" "$out"
    exit 0
fi

data="$root/tests/data/xls"
seeds="$root/fuzz/seeds/xlsreader"
mkdir -p "$data" "$seeds"
"$work/make-xls-fixtures" "$work"
for source in "$work"/*.xlsx; do
    name="$(basename "$source" .xlsx)"
    convert "$source" "$data"
    cp "$work/$name.cells" "$data/"
    cp "$data/$name.xls" "$seeds/$name.xls"
done
