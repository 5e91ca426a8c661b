#!/usr/bin/env bash
# Makes the .deb from a build folder, unpacks it into a temporary root and checks it as a user
# would meet it: the unpacked program runs on its unpacked assets with a fresh home, and the
# package names its dependencies, desktop entry, metadata and icons.
#
#   tests/check-package.sh BUILD_FOLDER APP_ID
set -euo pipefail
build=$(cd "$1" && pwd)
app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "check-package: $*" >&2
    exit 1
}

# The package, staged and written in the temporary folder: the build folder stays as it was.
cpack --config "$build/CPackConfig.cmake" -B "$work/pack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/pack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb"
deb=${debs[0]}

info=$(dpkg-deb -I "$deb")
echo "$info"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6multimedia6 libxlsxwriter qt6-qpa-plugins; do
    [[ $depends == *"$library"* ]] || fail "Depends does not name $library: $depends"
done
package_version=$(sed -n 's/^ Version: //p' <<<"$info")
maintainer=$(sed -n 's/^ Maintainer: //p' <<<"$info")
[[ -n $maintainer && $maintainer != *example.* ]] || fail "the maintainer is a placeholder: $maintainer"

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
expected=(
    usr/bin/voltrix usr/bin/voltrix-sim
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/voltrix.svg
    usr/share/doc/voltrix/copyright usr/share/voltrix/ding.wav usr/share/voltrix/Mark.ico usr/share/voltrix/README.md
    usr/share/voltrix/help_en.pdf "usr/share/voltrix/Voltrix user's manual.pdf"
    usr/share/voltrix/help_jp.pdf "usr/share/voltrix/Voltrix user's manual_jp.pdf"
    usr/share/voltrix/help_ch.pdf "usr/share/voltrix/Voltrix使用說明書.pdf"
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/voltrix.png")
done
for file in "${expected[@]}"; do
    [ -s "$root/$file" ] || fail "the package lacks $file"
done
# A PNG icon is a PNG image of its folder's size (the width and height of its header chunk).
for size in 16 256; do
    header=$(od -A n -t x1 -j 12 -N 12 "$share/icons/hicolor/${size}x$size/apps/voltrix.png" | tr -d ' \n')
    [ "$header" = "$(printf '49484452%08x%08x' "$size" "$size")" ] || fail "the ${size}px icon is not ${size}x$size"
done
grep -qx 'Icon=voltrix' "$share/applications/$app_id.desktop" || fail "the desktop entry names no icon"
grep -qx 'Exec=voltrix' "$share/applications/$app_id.desktop" || fail "the desktop entry starts no voltrix"
metainfo=$share/metainfo/$app_id.metainfo.xml
for line in "<id>$app_id</id>" '<project_license>GPL-3.0-or-later</project_license>' \
    "<release version=\"$package_version\""; do
    grep -qF "$line" "$metainfo" || fail "the metadata lacks $line"
done
grep -qF 'GNU GENERAL PUBLIC LICENSE' "$root/usr/share/doc/voltrix/copyright" || fail "the copyright file holds no licence"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$root" >"$work/validate.log" 2>&1 ||
        { cat "$work/validate.log" >&2; fail "appstreamcli validate-tree failed"; }
fi

# The unpacked program, run as on a first start: a fresh home, no runtime folder, no display.
home=$work/home
mkdir -p "$home"
run() {
    env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY -u QT_LOGGING_RULES \
        HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$root/usr/bin/voltrix" "$@"
}
version=$(run --version)
[ "$version" = "Voltrix $package_version" ] || fail "--version says: $version"

# A label file the unpacked program can only have found in its unpacked data folder.
label=$share/voltrix/LabelName.txt
printf 'Lab\0\1\2' >"$label"
output=$work/demo.csv
said=$(run --demo --record --duration 3 --output "$output" --quit 2>&1) || fail "the demonstration run failed: $said"
grep -qF "Cannot read the label file $label as text. The window title shows no label. -> OK" <<<"$said" ||
    fail "the unpacked program did not read its own data folder: $said"
rows=$(grep -c '^[0-9]' "$output" || true)
[ "$rows" -ge 1 ] || fail "the demonstration recorded $rows rows: $(cat "$output")"
echo "check-package: $(basename "$deb") installs and runs"
