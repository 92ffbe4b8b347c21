#!/usr/bin/env bash
# Time until the picture is on the sphere, and the peak memory on the way,
# with a 24-megapixel JPEG (6000 x 4000) against the same run with a 64 x 64
# one. The time is wall time from starting `wine Vantrel.scr /s` to the first
# frame presented after the picture's texture was uploaded (bench/swap_counter.c,
# preloaded, stamps it): the first frame alone is only the gradient, drawn
# before the picture thread is done. The peak is the saver process's VmHWM a
# second after that frame, when the decode and the upload are over. Runs go in
# turns, several of each; the medians, their ratio and the peaks' difference
# are set against the goals: the large picture on the sphere within 2 x the
# small one's time, its peak at most 96 MiB above the small one's. A run whose
# counter record cannot be read, or that shows no picture within 60 s, is
# rejected and said so, never counted.
#
# Both pictures are made with ImageMagick from fractal plasma, which
# compresses like a photograph (the large one about 7 MB at quality 92), and
# kept for later runs in $VANTREL_BENCH_PICTURES (default
# /tmp/vantrel-bench-pictures): making the large one takes half a minute.
#
# The prefix's server and services are started and warmed by one discarded
# run first, so every timed run starts the same way. Then
# saver_decode_bench_win32.exe times each step from the file to the texture
# for both pictures: where the difference goes.
#
#   bench/saver_first_frame.sh
# Knobs: VANTREL_BENCH_RUNS (default 7 of each), VANTREL_BENCH_PICTURES,
# VANTREL_BENCH_DISPLAY (default 63), VANTREL_BENCH_BUILD, VANTREL_BENCH_SAVER
# (another Vantrel.scr to time, for a before-and-after), VANTREL_WINEPREFIX.
set -euo pipefail
# shellcheck source=bench/saver_bench_lib.sh
source "$(cd "$(dirname "$0")" && pwd)/saver_bench_lib.sh"

runs=${VANTREL_BENCH_RUNS:-7}
pictures=${VANTREL_BENCH_PICTURES:-/tmp/vantrel-bench-pictures}
large=$pictures/plasma-6000x4000.jpg
small=$pictures/plasma-64x64.jpg

SAVER_BENCH_TARGETS+=(saver_decode_bench_win32)
saver_bench_prepare imagemagick

saver_bench_make_picture "$large" 6000x4000
saver_bench_make_picture "$small" 64x64

saver_bench_start_stage

# One run with the picture $1: "first_ms picture_ms peak_kib" (the first
# frame and the picture on the sphere, from the start; the saver's peak
# resident memory), or a reason on standard error and a failure.
picture_run() {
  local log=$SAVER_BENCH_WORK/first.swaps start record pid first textured peak_kib
  saver_bench_choose_picture "$1"
  start=$(date +%s%N)
  saver_bench_launch_saver "$log"
  local tenths textured=0
  for ((tenths = 0; tenths < 60 * 20; ++tenths)); do
    if record=$(saver_bench_record "$log") && [[ -n $record ]]; then
      read -r pid _ first _ textured <<<"$record"
      ((textured > 0)) && break
    fi
    kill -0 "$SAVER_BENCH_CHILD" 2>/dev/null || break
    sleep 0.05
  done
  if ((textured == 0)); then
    saver_bench_stop_child
    echo "no frame with the picture within 60 s (or its record could not be read)" >&2
    return 1
  fi
  sleep 1
  peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  saver_bench_stop_child
  if [[ -z $peak_kib ]] || ((first < start || textured < first)); then
    echo "the record is out of order or the process was gone (first $first, picture $textured, start $start)" >&2
    return 1
  fi
  echo "$(((first - start) / 1000000)) $(((textured - start) / 1000000)) $peak_kib"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

vantrel_log "time to the picture on the sphere: $runs runs each, in turns, on $DISPLAY ($SAVER_BENCH_SCREEN)"
picture_run "$small" >/dev/null || true # warms the prefix's services and the file cache
declare -A first_times=() picture_times=() peaks=() rejected=()
printf 'loadavg before: %s\n' "$(saver_bench_load)"
busy_before=$(saver_bench_machine_busy_ticks) started=$(date +%s%N)
for ((run = 1; run <= runs; ++run)); do
  line="run $run:"
  for name in small large; do
    picture=$small
    [[ $name == large ]] && picture=$large
    if figures=$(picture_run "$picture"); then
      read -r first_ms picture_ms peak_kib <<<"$figures"
      first_times[$name]+="$first_ms " picture_times[$name]+="$picture_ms " peaks[$name]+="$peak_kib "
      line+=$(printf ' %s first frame %5d ms, picture %5d ms, peak %4d MiB |' "$name" "$first_ms" "$picture_ms" \
        "$((peak_kib / 1024))")
    else
      rejected[$name]=$((${rejected[$name]:-0} + 1))
      line+=" $name REJECTED |"
    fi
  done
  printf '%s\n' "${line% |}"
done
busy_after=$(saver_bench_machine_busy_ticks) ended=$(date +%s%N)
printf 'loadavg after: %s; the machine was busy %.2f cores on average during the runs (ours included)\n' \
  "$(saver_bench_load)" "$(awk -v b="$((busy_after - busy_before))" -v w="$((ended - started))" -v hz="$SAVER_BENCH_HZ" \
    'BEGIN { print b / hz / (w / 1e9) }')"

# A median of fewer than half the runs says too little to hold a goal against.
enough=1
for name in small large; do
  read -r -a counted <<<"${picture_times[$name]:-}"
  if ((${#counted[@]} * 2 < runs)); then
    printf '%s: only %d of %d runs counted\n' "$name" "${#counted[@]}" "$runs"
    enough=0
  fi
  ((${rejected[$name]:-0} > 0)) && printf '%s: %d runs rejected\n' "$name" "${rejected[$name]}"
done
if ((enough)); then
  # shellcheck disable=SC2086 # the lists are words by design
  awk -v sf="$(median ${first_times[small]})" -v lf="$(median ${first_times[large]})" \
    -v s="$(median ${picture_times[small]})" -v l="$(median ${picture_times[large]})" \
    -v sp="$(median ${peaks[small]})" -v lp="$(median ${peaks[large]})" 'BEGIN {
    printf "median time to the first frame (the gradient): 64x64 %.0f ms, 6000x4000 %.0f ms\n", sf, lf
    printf "median time to the picture on the sphere: 64x64 %.0f ms, 6000x4000 %.0f ms: ratio %.2f, %.0f ms more\n",
      s, l, l / s, l - s
    printf "median peak memory: 64x64 %.1f MiB, 6000x4000 %.1f MiB: %.1f MiB more\n", sp / 1024, lp / 1024, (lp - sp) / 1024
    printf "goal, time (<= 2x): %s\n", (l <= 2 * s) ? "met" : "not met"
    printf "goal, memory (<= 96 MiB more): %s\n", (lp - sp <= 96 * 1024) ? "met" : "not met"
  }'
else
  printf 'goals: not met (too few runs counted to judge)\n'
fi

printf '\nwhere the time goes (each step timed alone, median of 5, ms):\n'
(cd "$SAVER_BENCH_BUILD/bench" &&
  wine saver_decode_bench_win32.exe "$(vantrel_windows_path "$large")" "$(vantrel_windows_path "$small")")
