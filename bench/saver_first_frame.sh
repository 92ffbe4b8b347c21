#!/usr/bin/env bash
# Time to the first frame with a 24-megapixel JPEG (6000 x 4000) against the
# same run with a 64 x 64 one: wall time from starting `wine Vantrel.scr /s`
# to its first glXSwapBuffers (bench/swap_counter.c, preloaded), in turns,
# several runs each, the medians and their ratio. Both pictures are made with
# ImageMagick from fractal plasma, which compresses like a photograph (the
# large one about 7 MB at quality 92), and kept for later runs in
# $VANTREL_BENCH_PICTURES (default /tmp/vantrel-bench-pictures): making the
# large one takes half a minute.
#
# The prefix's server and services are started and warmed by one discarded
# run first, so every timed run starts the same way. Then
# saver_decode_bench_win32.exe times each step from the file to the texture
# for both pictures: where the difference goes.
#
#   bench/saver_first_frame.sh
# Knobs: VANTREL_BENCH_RUNS (default 7 of each), VANTREL_BENCH_PICTURES,
# VANTREL_BENCH_DISPLAY (default 63), VANTREL_BENCH_BUILD, VANTREL_WINEPREFIX.
set -euo pipefail
# shellcheck source=bench/saver_bench_lib.sh
source "$(cd "$(dirname "$0")" && pwd)/saver_bench_lib.sh"

runs=${VANTREL_BENCH_RUNS:-7}
pictures=${VANTREL_BENCH_PICTURES:-/tmp/vantrel-bench-pictures}
large=$pictures/plasma-6000x4000.jpg
small=$pictures/plasma-64x64.jpg

SAVER_BENCH_TARGETS+=(saver_decode_bench_win32)
saver_bench_prepare imagemagick

# Made beside the final name and moved into place, so a cut-short making
# never leaves a half picture to be reused.
make_picture() {
  local path=$1 size=$2 partial
  [[ -s $path ]] && return 0
  vantrel_log "making $path"
  mkdir -p "$(dirname "$path")"
  partial=$(mktemp "$path.XXXXXX")
  convert -seed 7 -size "$size" plasma:fractal -quality 92 "jpeg:$partial"
  mv "$partial" "$path"
}
make_picture "$large" 6000x4000
make_picture "$small" 64x64

saver_bench_start_stage

# Milliseconds from the start of `wine Vantrel.scr /s` to its first frame.
first_frame_ms() {
  local log=$SAVER_BENCH_WORK/first.swaps start first
  saver_bench_choose_picture "$1"
  start=$(date +%s%N)
  saver_bench_launch_saver "$log"
  saver_bench_wait_first_frame "$log" 60 || vantrel_die "no first frame within 60 s with $1"
  read -r _ _ first _ <<<"$(saver_bench_record "$log")"
  saver_bench_stop_child
  awk -v ns="$((first - start))" 'BEGIN { printf "%.0f\n", ns / 1e6 }'
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

vantrel_log "time to first frame: $runs runs each, in turns, on $DISPLAY ($SAVER_BENCH_SCREEN)"
first_frame_ms "$small" >/dev/null  # warms the prefix's services and the file cache
large_times=() small_times=()
printf 'loadavg before: %s\n' "$(saver_bench_load)"
busy_before=$(saver_bench_machine_busy_ticks) started=$(date +%s%N)
for ((run = 1; run <= runs; ++run)); do
  small_times+=("$(first_frame_ms "$small")")
  large_times+=("$(first_frame_ms "$large")")
  printf 'run %d: 64x64 %5d ms | 6000x4000 %5d ms\n' "$run" "${small_times[-1]}" "${large_times[-1]}"
done
busy_after=$(saver_bench_machine_busy_ticks) ended=$(date +%s%N)
printf 'loadavg after: %s; the machine was busy %.2f cores on average during the runs (ours included)\n' \
  "$(saver_bench_load)" "$(awk -v b="$((busy_after - busy_before))" -v w="$((ended - started))" -v hz="$SAVER_BENCH_HZ" \
    'BEGIN { print b / hz / (w / 1e9) }')"

small_median=$(median "${small_times[@]}")
large_median=$(median "${large_times[@]}")
awk -v s="$small_median" -v l="$large_median" 'BEGIN {
  printf "median time to first frame: 64x64 %.0f ms, 6000x4000 %.0f ms: ratio %.2f, %.0f ms more\n", s, l, l / s, l - s
  printf "goal (<= 2x): %s\n", (l <= 2 * s) ? "met" : "MISSED"
}'

printf '\nwhere the time goes (each step timed alone, median of 5, ms):\n'
(cd "$SAVER_BENCH_BUILD/bench" &&
  wine saver_decode_bench_win32.exe "$(vantrel_windows_path "$large")" "$(vantrel_windows_path "$small")")
