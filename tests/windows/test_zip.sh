#!/usr/bin/env bash
# Unpacks the portable Windows zip into a folder with a blank and Japanese characters in its
# name, in a Wine prefix of its own with no other Qt or MinGW libraries in reach, and uses it as
# a user would: the version, a text conversion, a conversion job with the AutoCAD stand-in from
# the zip, and the main window of ornvale.exe on a virtual display.
#
#   tests/windows/test_zip.sh ZIP FIXTURES_DIR
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: $0 ZIP FIXTURES_DIR" >&2; exit 2; }
zip=$(realpath "$1")
fixtures=$(realpath "$2")

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset WINEPATH
gui=
cleanup() {
    [ -n "$gui" ] && kill "$gui" 2>/dev/null
    wineserver --kill 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

unpacked="$work/ポータブル 版"
mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
app=$(echo "$unpacked"/ornvale-*-win64)
[ -d "$app" ] || fail "the zip holds no ornvale-*-win64 folder"
for file in ornvale.exe ornvale-cli.exe ornvale-acad-sim.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll translations/qtbase_ja.qm \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll qt.conf; do
    [ -f "$app/$file" ] || fail "the zip lacks $file"
done

wineboot --init >/dev/null 2>&1
wineserver --wait

echo "== version"
version=$(wine "$app/ornvale-cli.exe" --version | tr -d '\r')
[[ $version =~ ^ornvale-cli\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "ornvale-cli --version printed '$version'"

echo "== text conversion"
drawings="$work/図面 フォルダ"
mkdir -p "$drawings"
cp "$fixtures/text/text_r2000.dxf" "$drawings/平面 図.dxf"
wine "$app/ornvale-cli.exe" text --selection 41 --width full "$drawings/平面 図.dxf" ||
    fail "the text conversion failed"
[ -s "$drawings/平面 図-T.dxf" ] || fail "no 平面 図-T.dxf was written"

echo "== conversion job"
cp "$fixtures/drawing/r2000.dxf" "$drawings/配置 図.dxf"
ACADSIM_SELECTION=41 wine "$app/ornvale-cli.exe" convert --selection 41 \
    --acad "$app/ornvale-acad-sim.exe" --format dwg --output "$work/出力 先" --timeout 120 \
    "$drawings/配置 図.dxf" || fail "the conversion job failed"
[ -s "$work/出力 先/配置 図.dwg" ] || fail "the job wrote no 配置 図.dwg"

echo "== main window"
# A product in the settings, so start-up goes straight to the main window.
wine "$app/ornvale-cli.exe" settings --set-selection 41 >/dev/null 2>&1
# Wine's session started without a display would keep the window from one: start afresh.
wineserver --kill 2>/dev/null || true
wineserver --wait 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine "$1" &
    for _ in $(seq 1 120); do
        if xwininfo -root -tree 2>/dev/null | grep -q "\"  Ornvale\""; then
            echo "main window open"
            exit 0
        fi
        sleep 0.5
    done
    exit 1' _ "$app/ornvale.exe" || fail "ornvale.exe did not open its main window"
echo "PASS"
