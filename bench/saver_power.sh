#!/usr/bin/env bash
# The saver over a long run at 1920 x 1080 on Mesa's llvmpipe under Xvfb: CPU
# seconds per minute of the saver process (all threads, llvmpipe's among them)
# with the display on, for this build and, with VANTREL_BENCH_BEFORE naming an
# older Vantrel.scr, for that one in the same run; then, in-process
# (saver_power_bench_win32.exe plays the system's power notifications, which
# Wine never sends), per minute with the display on and then off.
#
#   VANTREL_BENCH_BEFORE=<old Vantrel.scr> bench/saver_power.sh
# Knobs: VANTREL_BENCH_SECONDS (default 60), VANTREL_BENCH_WARMUP (default 5 s),
# VANTREL_BENCH_DISPLAY (default 63), VANTREL_BENCH_BUILD, VANTREL_WINEPREFIX.
set -euo pipefail
# shellcheck source=bench/saver_bench_lib.sh
source "$(cd "$(dirname "$0")" && pwd)/saver_bench_lib.sh"

seconds=${VANTREL_BENCH_SECONDS:-60}
warmup=${VANTREL_BENCH_WARMUP:-5}

SAVER_BENCH_TARGETS+=(saver_power_bench_win32)
saver_bench_prepare
saver_bench_start_stage
saver_bench_choose_picture "$VANTREL_ROOT/resources/sample.jpg"

# CPU seconds per minute of the saver in the private folder, measured from
# outside over the window.
cpu_per_minute() {
  local log=$SAVER_BENCH_WORK/power.swaps pid t0 t1 c0 c1
  saver_bench_launch_saver "$log"
  saver_bench_wait_first_frame "$log" 60 || vantrel_die "no first frame within 60 s"
  sleep "$warmup"
  pid=$(saver_bench_record "$log") || vantrel_die "the frame counter's record could not be read"
  pid=${pid%% *}
  t0=$(date +%s%N) c0=$(saver_bench_cpu_ticks "$pid")
  sleep "$seconds"
  t1=$(date +%s%N) c1=$(saver_bench_cpu_ticks "$pid")
  kill -0 "$pid" 2>/dev/null || vantrel_die "the saver ended during the measurement"
  saver_bench_stop_child
  awk -v c=$((c1 - c0)) -v hz="$SAVER_BENCH_HZ" -v w=$((t1 - t0)) 'BEGIN { printf "%.2f", c / hz * 60e9 / w }'
}

vantrel_log "CPU per minute: ${seconds} s windows after a ${warmup} s warm-up on $DISPLAY ($SAVER_BENCH_SCREEN)"
after=$(cpu_per_minute)
printf 'this build, display on: %s CPU s per minute\n' "$after"
if [[ -n ${VANTREL_BENCH_BEFORE:-} ]]; then
  cp "$VANTREL_BENCH_BEFORE" "$SAVER_BENCH_WORK/saver/Vantrel.scr"
  before=$(cpu_per_minute)
  cp "$SAVER_BENCH_BUILD/Vantrel.scr" "$SAVER_BENCH_WORK/saver/Vantrel.scr"
  printf 'before (%s), display on: %s CPU s per minute\n' "$VANTREL_BENCH_BEFORE" "$before"
  awk -v a="$after" -v b="$before" 'BEGIN { printf "ratio this build / before: %.2f\n", a / b }'
fi
picture=$(vantrel_windows_path "$VANTREL_ROOT/resources/sample.jpg")
wine "$SAVER_BENCH_BUILD/bench/saver_power_bench_win32.exe" "$picture" "$seconds" 2>/dev/null
