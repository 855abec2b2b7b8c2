#!/usr/bin/env bash
# The text job of the Windows build writes exactly the bytes the Linux build writes: both
# programs convert the same drawings (code page 932 and UTF-8) with the same options, and every
# "-T.dxf" file and every set of counters must be identical.
#
#   tests/windows/compare_text_outputs.sh LINUX_CLI WINDOWS_CLI EMULATOR FIXTURES_DIR
set -euo pipefail

[ $# -eq 4 ] || { echo "usage: $0 LINUX_CLI WINDOWS_CLI EMULATOR FIXTURES_DIR" >&2; exit 2; }
linux_cli=$1
windows_cli=$2
emulator=$3
fixtures=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data

option_sets=(
    "--width full"
    "--width half"
    "--width full --classes alphabet,digits --dash-period"
    "--case upper"
    "--kana to-katakana"
    "--kana to-hiragana --width full --classes katakana"
    "--search 文字 --replace 置換テキスト"
    "--replace-mode matching --contains 1 --replace ①Ω¥"
)

counters() { grep -o '"counters":{[^}]*}' "$1"; }

failures=0
compared=0
for drawing in text_r2000.dxf text_r2004.dxf text_r2007.dxf; do
    for i in "${!option_sets[@]}"; do
        read -r -a options <<<"${option_sets[$i]}"
        for side in linux windows; do
            mkdir -p "$work/$side/$i"
            cp "$fixtures/text/$drawing" "$work/$side/$i/$drawing"
        done
        "$linux_cli" text --selection 41 "${options[@]}" --json "$work/linux/$i/$drawing" \
            >"$work/linux/$i/out.json" || true
        "$emulator" "$windows_cli" text --selection 41 "${options[@]}" --json \
            "Z:$work/windows/$i/$drawing" >"$work/windows/$i/out.json" || true
        output=${drawing%.dxf}-T.dxf
        if [ ! -s "$work/linux/$i/$output" ]; then
            echo "FAIL: the Linux build wrote no $output for: ${option_sets[$i]}"
            failures=$((failures + 1))
        elif ! cmp -s "$work/linux/$i/$output" "$work/windows/$i/$output"; then
            echo "FAIL: $output differs for: ${option_sets[$i]}"
            cmp "$work/linux/$i/$output" "$work/windows/$i/$output" || true
            failures=$((failures + 1))
        elif [ "$(counters "$work/linux/$i/out.json")" != "$(counters "$work/windows/$i/out.json")" ]; then
            echo "FAIL: the counters differ for $drawing with: ${option_sets[$i]}"
            counters "$work/linux/$i/out.json"
            counters "$work/windows/$i/out.json"
            failures=$((failures + 1))
        fi
        compared=$((compared + 1))
    done
done
echo "$compared conversions compared, $failures different"
[ "$failures" -eq 0 ]
