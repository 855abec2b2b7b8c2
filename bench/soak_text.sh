#!/usr/bin/env bash
# Soak run of `ornvale-cli text`: 999 generated DXF files of mixed size (4 KiB to 50 MiB, about
# 2 GB in all) through single runs over the first 250, 500 and 999 files with every conversion
# on, each under /usr/bin/time -v for elapsed time and peak memory; then a second run over all
# 999 whose outputs must equal the first's byte for byte (cmp).
#
#   bench/soak_text.sh CLI [DIR]
#       CLI: a Release ornvale-cli; DIR: scratch folder (default /tmp/ornvale-soak, removed
#       at the end unless KEEP=1). Run it niced: nice -n 19 bench/soak_text.sh ...
set -euo pipefail
cli=$(realpath "$1")
dir=${2:-/tmp/ornvale-soak}
rm -rf "$dir"
mkdir -p "$dir/in" "$dir/first"

# Sizes: every 100th file 50 MiB, every 10th 10 MiB, the rest 4 KiB to 1 MiB.
python3 - "$dir/in" <<'PY'
import sys
folder = sys.argv[1]
head = b"  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1018\r\n  0\r\nENDSEC\r\n" \
       b"  0\r\nSECTION\r\n  2\r\nENTITIES\r\n"
tail = b"  0\r\nENDSEC\r\n  0\r\nEOF\r\n"
values = ["Room abc 12 図面 ｶﾀｶﾅ note", "ひらがな ＡＢＣ １２３", "2026/12/08", "12.5",
          "Door-01 ドア", "%%c50 ﾃｽﾄ abc"]
line = (b"  0\r\nLINE\r\n  8\r\n0\r\n100\r\nAcDbLine\r\n 10\r\n12.5\r\n 20\r\n7.25\r\n"
        b" 11\r\n112.5\r\n 21\r\n97.25\r\n")
pieces = []
for n, v in enumerate(values):
    enc = v.encode("cp932")
    pieces.append(b"  0\r\nTEXT\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n100\r\nAcDbText\r\n"
                  b" 10\r\n1.0\r\n  1\r\n" + enc + b"\r\n100\r\nAcDbText\r\n")
    pieces.append(b"  0\r\nMTEXT\r\n100\r\nAcDbEntity\r\n100\r\nAcDbMText\r\n  1\r\n" + enc +
                  b"\\Pline two\r\n 44\r\n1.0\r\n")
    pieces.append(line)
unit = b"".join(pieces)
block = unit * ((1 << 20) // len(unit) + 1)
for i in range(999):
    if i % 100 == 0:
        size = 50 << 20
    elif i % 10 == 0:
        size = 10 << 20
    else:
        size = 4096 * (1 + (i * 37) % 256)
    with open(f"{folder}/d{i:03d}.dxf", "wb") as f:
        f.write(head)
        left = size
        while left > 0:
            whole = min(left, len(block)) // len(unit) * len(unit) or len(unit)
            f.write(block[:whole])
            left -= whole
        f.write(tail)
PY

options=(--selection 41 --replace-mode occurrences --search abc --replace xyz
    --width full --classes all --case upper --kana to-katakana)
mapfile -t files < <(ls "$dir"/in/d*.dxf)
echo "files  total_MB  elapsed_s  MB_per_s  max_rss_KB"
for count in 250 500 999; do
    bytes=$(cat "${files[@]:0:$count}" | wc -c)
    /usr/bin/time -v -o "$dir/time.txt" "$cli" text "${options[@]}" "${files[@]:0:$count}" \
        2>"$dir/err.txt" || { tail "$dir/err.txt" "$dir/time.txt"; exit 1; }
    elapsed=$(awk -F': ' '/Elapsed/ {n = split($2, t, ":"); s = 0;
        for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s}' "$dir/time.txt")
    rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$dir/time.txt")
    awk -v c="$count" -v b="$bytes" -v e="$elapsed" -v r="$rss" \
        'BEGIN {printf "%5d  %8.1f  %9.2f  %8.1f  %10d\n", c, b / 1e6, e, b / 1e6 / e, r}'
done

# The second run over all files must give the same bytes.
mv "$dir"/in/*-T.dxf "$dir/first/"
"$cli" text "${options[@]}" "${files[@]}" 2>"$dir/err.txt" || { tail "$dir/err.txt"; exit 1; }
differ=0
for out in "$dir"/first/*-T.dxf; do
    cmp -s "$out" "$dir/in/$(basename "$out")" || { echo "differs: $(basename "$out")"; differ=$((differ + 1)); }
done
outputs=$(ls "$dir"/first/*-T.dxf | wc -l)
echo "second run: $outputs outputs compared, $differ differ"
[ "${KEEP:-0}" = 1 ] || rm -rf "$dir"
[ "$differ" -eq 0 ] && [ "$outputs" -eq 999 ]
