#!/usr/bin/env bash
# Times `zandrel-cli export` of a 1024 x 1024 text ROM (1024 lines of 1024 "0"/"1" characters):
# wall time over several runs and the peak resident memory of one run.
#
#   bench/cli_export_bench.sh [path/to/zandrel-cli]
#   RUNS=n sets the number of timed runs; BENCH_DIR the directory for the ROM and the output file.
set -euo pipefail

cli=${1:-$(dirname "$0")/../build-cli/cli/zandrel-cli}
runs=${RUNS:-30}
[[ -x $cli ]] || { echo "zandrel-cli not found at $cli (pass its path)" >&2; exit 1; }

work=$(mktemp -d -p "${BENCH_DIR:-${TMPDIR:-/tmp}}")
trap 'rm -rf "$work"' EXIT
rom=$work/rom1024.txt

# A fixed pseudo-random pattern, so every run of the script measures the same ROM.
awk 'BEGIN {
    x = 1
    for (r = 0; r < 1024; r++) {
        line = ""
        for (c = 0; c < 1024; c++) { x = (x * 75 + 74) % 65537; line = line (x % 2) }
        print line
    }
}' >"$rom"

# Wall time in microseconds of one command.
time_us() {
    local start=$EPOCHREALTIME
    "$@" >/dev/null
    local end=$EPOCHREALTIME
    echo $(( (${end/./} - ${start/./}) ))
}

report() {
    local label=$1
    shift
    "$@" >/dev/null  # warm the page cache
    local samples=()
    for ((i = 0; i < runs; i++)); do samples+=("$(time_us "$@")"); done
    local sorted
    sorted=$(printf '%s\n' "${samples[@]}" | sort -n)
    local min median max
    min=$(head -1 <<<"$sorted")
    median=$(sed -n "$((runs / 2 + 1))p" <<<"$sorted")
    max=$(tail -1 <<<"$sorted")
    local peak_kib
    peak_kib=$(/usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1)
    awk -v label="$label" -v min="$min" -v median="$median" -v max="$max" -v peak="$peak_kib" 'BEGIN {
        printf "%-28s wall ms: min %.1f  median %.1f  max %.1f   peak RSS: %.1f MiB\n",
            label, min / 1000, median / 1000, max / 1000, peak / 1024
    }'
}

echo "ROM: $(wc -c <"$rom") bytes of text, 1048576 bits; $runs runs each"
report "export -o FILE" "$cli" export "$rom" -o "$work/rom.bin"
report "export -o - (to /dev/null)" "$cli" export "$rom" -o -
echo "exported bytes: $(wc -c <"$work/rom.bin")"
