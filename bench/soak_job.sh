#!/usr/bin/env bash
# Soak run of the whole conversion job: 999 drawings (copies of the test fixtures, DXF 2000 and
# DWG-like files, every tenth with audit errors) through one `ornvale-cli convert` run against the
# AutoCAD stand-in, which waits DELAY_MS per drawing (default 10, so the job waits about ten
# seconds). Prints the elapsed time, the command's CPU time (user + system) against the time it
# waited, its peak memory, and checks that every drawing has its result row and audit row.
#
#   bench/soak_job.sh BUILD_DIR [DIR]
#       BUILD_DIR: a build with ornvale-cli and ornvale-acad-sim; DIR: scratch folder (default
#       /tmp/ornvale-job-soak, removed at the end unless KEEP=1).
set -euo pipefail
build=$(realpath "$1")
dir=${2:-/tmp/ornvale-job-soak}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$dir"
mkdir -p "$dir/in" "$dir/home"

for i in $(seq -w 1 999); do
    if ((10#$i % 2)); then
        cp "$source_dir/tests/data/drawing/r2000.dxf" "$dir/in/d$i.dxf"
    else
        # A DWG starts with its version code; the rest does not matter to the stand-in.
        head -c 20000 /dev/urandom | sed '1s/^/AC1015/' > "$dir/in/d$i.dwg"
    fi
done
errors=$(seq -f 'd%03g=3' 10 10 999 | paste -sd';')

export HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/config" XDG_DATA_HOME="$dir/home/data"
export ACADSIM_SELECTION=41 ACADSIM_DELAY_MS=${DELAY_MS:-10} ACADSIM_AUDIT_ERRORS="$errors"
export ACADSIM_SIZE="d001=50%;d002=200%"
/usr/bin/time -v -o "$dir/time.txt" "$build/src/cli/ornvale-cli" convert --selection 41 \
    --acad "$build/tools/acad-sim/ornvale-acad-sim" --output "$dir/out" --format dwg \
    --keep-report --json "$dir"/in/* > "$dir/result.json"

python3 - "$dir/result.json" "$dir/time.txt" <<'PY'
import json, re, sys
result = json.load(open(sys.argv[1]))
timing = open(sys.argv[2]).read()
def field(name):
    return re.search(re.escape(name) + r": (.*)", timing).group(1).strip()
cpu = float(field("User time (seconds)")) + float(field("System time (seconds)"))
elapsed = field("Elapsed (wall clock) time (h:mm:ss or m:ss)")
parts = [float(p) for p in elapsed.split(":")]
seconds = sum(p * 60 ** i for i, p in enumerate(reversed(parts)))
errors = sum(1 for a in result["audits"] if a["errors"])
print(f"status: {result['status']}  message: {result['message']!r}")
print(f"result rows: {len(result['conversions'])}  audit rows: {len(result['audits'])}  "
      f"audit rows with errors: {errors}")
print(f"elapsed: {seconds:.1f} s  cpu: {cpu:.2f} s ({100 * cpu / seconds:.2f} % of one core)  "
      f"peak memory: {int(field('Maximum resident set size (kbytes)')) / 1024:.1f} MB")
ok = (result["status"] == "completed" and len(result["audits"]) == 999 and errors == 99
      and len(result["conversions"]) == 499)
print("every drawing accounted for" if ok else "MISSING RESULTS")
sys.exit(0 if ok else 1)
PY
[ "${KEEP:-0}" = 1 ] || rm -rf "$dir"
