#!/usr/bin/env bash
# The saver left running with a 24-megapixel JPEG, as on a desk overnight:
# its resident memory (VmRSS) and the frames it presented (bench/swap_counter.c,
# preloaded), sampled every 10 s. At the end: the memory after the first
# minute (when the picture is decoded and uploaded) against the last and the
# highest sample since, and the frame rate by minute. Goals: growth under
# 2 MiB after the first minute, and a steady frame rate: the last five
# minutes at least 90 % of the rate of the first five after the first, so
# nothing slows the saver down as it runs. The spread from minute to minute
# is printed beside it: on a software renderer the frame rate follows what
# else the machine's cores do, and ten seconds is not a whole 17-second
# cycle (the burst costs more to draw than the whole sphere). A sample that cannot be read is reported and the
# run judged "not met"; so is a saver that ends on its own.
#
#   bench/saver_soak.sh                       # 30 minutes
#   VANTREL_SOAK_SECONDS=120 bench/saver_soak.sh
# Knobs: VANTREL_SOAK_SECONDS (default 1800), VANTREL_SOAK_INTERVAL (default
# 10), VANTREL_SOAK_LOG (every sample, one line each, default none), and
# those of bench/saver_bench_lib.sh. Not part of the tests: it takes half an
# hour.
set -euo pipefail
# shellcheck source=bench/saver_bench_lib.sh
source "$(cd "$(dirname "$0")" && pwd)/saver_bench_lib.sh"

seconds=${VANTREL_SOAK_SECONDS:-1800}
interval=${VANTREL_SOAK_INTERVAL:-10}
pictures=${VANTREL_BENCH_PICTURES:-/tmp/vantrel-bench-pictures}
photo=$pictures/plasma-6000x4000.jpg
settle=60
((seconds > settle + 2 * interval)) || vantrel_die "VANTREL_SOAK_SECONDS must exceed $((settle + 2 * interval))"

saver_bench_prepare imagemagick
saver_bench_make_picture "$photo" 6000x4000
saver_bench_start_stage
saver_bench_choose_picture "$photo"

log=$SAVER_BENCH_WORK/soak.swaps
saver_bench_launch_saver "$log"
saver_bench_wait_first_frame "$log" 60 || vantrel_die "the saver showed no frame within 60 s"
record=$(saver_bench_record "$log") || vantrel_die "the frame counter's record could not be read"
read -r pid _ <<<"$record"
vantrel_log "soaking for $seconds s on $DISPLAY ($SAVER_BENCH_SCREEN), a sample every $interval s"

samples=() failures=0
started=$(date +%s%N)
previous_frames=0 previous_ns=$started
for ((elapsed = interval; elapsed <= seconds; elapsed += interval)); do
  sleep $((started / 1000000000 + elapsed - $(date +%s))) 2>/dev/null || true
  kill -0 "$SAVER_BENCH_CHILD" 2>/dev/null || vantrel_die "the saver ended on its own after about $elapsed s"
  rss_kib=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  now=$(date +%s%N)
  if ! record=$(saver_bench_record "$log") || [[ -z $record || -z $rss_kib ]]; then
    printf 'sample at %d s could not be read\n' "$elapsed"
    failures=$((failures + 1))
    continue
  fi
  read -r _ frames _ _ textured <<<"$record"
  fps=$(awk -v f="$((frames - previous_frames))" -v w="$((now - previous_ns))" 'BEGIN { printf "%.2f", f / (w / 1e9) }')
  previous_frames=$frames previous_ns=$now
  samples+=("$elapsed $rss_kib $fps $textured")
  [[ -n ${VANTREL_SOAK_LOG:-} ]] && printf '%d s: rss %d KiB, %s fps\n' "$elapsed" "$rss_kib" "$fps" >>"$VANTREL_SOAK_LOG"
done

((${#samples[@]} > 0)) || vantrel_die "no sample could be read"
printf '%s\n' "${samples[@]}" | awk -v settle="$settle" -v failures="$failures" -v interval="$interval" '
  { t[NR] = $1; rss[NR] = $2; fps[NR] = $3; textured = textured || ($4 > 0) }
  END {
    n = NR
    for (i = 1; i <= n; ++i) if (t[i] >= settle) { base = i; break }
    if (!base) { print "goals: not met (no sample after the first minute)"; exit }
    high = rss[base]
    for (i = base; i <= n; ++i) if (rss[i] > high) high = rss[i]
    # The first minute holds the decode; the rate is judged by whole minutes after it.
    per_minute = int(60 / interval); if (per_minute < 1) per_minute = 1
    m = 0
    for (i = base + 1; i + per_minute - 1 <= n; i += per_minute) {
      sum = 0
      for (j = i; j < i + per_minute; ++j) sum += fps[j]
      sorted[++m] = sum / per_minute
      minute[m] = sorted[m]
    }
    if (!m) { print "goals: not met (no whole minute after the first)"; exit }
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (sorted[j] < sorted[i]) { x = sorted[i]; sorted[i] = sorted[j]; sorted[j] = x }
    median = (m % 2) ? sorted[(m + 1) / 2] : (sorted[m / 2] + sorted[m / 2 + 1]) / 2
    low = high_fps = fps[base]
    for (i = base; i <= n; ++i) { if (fps[i] < low) low = fps[i]; if (fps[i] > high_fps) high_fps = fps[i] }
    printf "%d samples every %d s over %d s, %d unreadable; the picture %s\n", n, interval, t[n], failures,
      textured ? "was on the sphere" : "never reached the sphere"
    printf "resident memory: %.1f MiB at %d s, %.1f MiB at the end, highest after the first minute %.1f MiB\n",
      rss[base] / 1024, t[base], rss[n] / 1024, high / 1024
    growth = (high - rss[base]) / 1024
    printf "growth after the first minute: %.2f MiB (end %+.2f MiB)\n", growth, (rss[n] - rss[base]) / 1024
    printf "frame rate by %d-s interval after the first minute: lowest %.2f, highest %.2f fps\n", interval, low, high_fps
    printf "frame rate by minute (%d minutes): lowest %.2f, median %.2f, highest %.2f fps\n", m, sorted[1], median, sorted[m]
    printf "goal, memory (growth < 2 MiB): %s\n", (growth < 2 && !failures) ? "met" : "not met"
    span = (m >= 10) ? 5 : int(m / 2)
    if (span < 1) { print "goal, frame rate steady: not met (too few minutes to judge)"; exit }
    early = late = 0
    for (i = 1; i <= span; ++i) { early += minute[i]; late += minute[m - span + i] }
    early /= span; late /= span
    printf "frame rate of the first %d minutes after the first: %.2f fps, of the last %d: %.2f fps (%.0f %%)\n",
      span, early, span, late, 100 * late / early
    printf "goal, frame rate steady (the last minutes >= 90 %% of the first): %s\n",
      (late >= 0.9 * early && textured && !failures) ? "met" : "not met"
  }'
