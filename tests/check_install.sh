#!/usr/bin/env bash
# Installs the build folder given as the argument into a temporary prefix and checks that the tree
# holds what a desktop needs to show Tourwise in its menu and software centre: the program, a
# desktop entry whose Exec and Icon resolve inside the tree, the icons at their sizes, and the
# metainfo file. Runs desktop-file-validate and appstreamcli when they are installed.
set -euo pipefail

build=${1:?usage: check_install.sh <build folder> <application id>}
app_id=${2:?usage: check_install.sh <build folder> <application id>}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# Width and height from a PNG's IHDR chunk, "WxH".
png_size() {
    local bytes
    bytes=$(od -An -tu1 -j16 -N8 "$1" | tr -s ' ' | sed 's/^ //')
    read -r w1 w2 w3 w4 h1 h2 h3 h4 <<<"$bytes"
    echo "$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))x$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))"
}

binary="$prefix/bin/tourwise"
[ -x "$binary" ] || fail "no executable bin/tourwise"

desktop="$prefix/share/applications/$app_id.desktop"
if [ -f "$desktop" ]; then
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    icon_line=$(sed -n 's/^Icon=//p' "$desktop")
    [ "${exec_line%% *}" = "$(basename "$binary")" ] || fail "Exec=$exec_line does not start bin/tourwise"
    [ "$icon_line" = "$app_id" ] || fail "Icon=$icon_line is not the application id"
else
    fail "no desktop entry share/applications/$app_id.desktop"
fi

for size in 16 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ -f "$icon" ]; then
        [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "$icon is $(png_size "$icon")"
    else
        fail "no icon ${size}x${size}"
    fi
done
svg="$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
if [ -f "$svg" ]; then
    grep -q '<svg' "$svg" || fail "$svg is no SVG"
else
    fail "no scalable icon"
fi

metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
if [ -f "$metainfo" ]; then
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "metainfo does not launch $app_id.desktop"
else
    fail "no metainfo share/metainfo/$app_id.metainfo.xml"
fi

if command -v desktop-file-validate >/dev/null && [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not run"
fi
if command -v appstreamcli >/dev/null && [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
else
    echo "appstreamcli not run"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install tree complete"
