#!/usr/bin/env bash
# Steady frame cost at 1920 x 1080 on Mesa's llvmpipe under Xvfb: CPU seconds
# per 1000 frames of the saver (wine Vantrel.scr /s with resources/sample.jpg)
# against Debian's xscreensaver glplanet (a textured spinning sphere), run the
# same way on the same private X server, in turns, and the ratio. glplanet
# draws on the root window of the 1920 x 1080 screen with its defaults (a
# frame delay of 20 ms after each frame, the planet wandering and rolling)
# except its shape: left to itself it picks a globe or a flat map at random
# each start, and a flat map fills far more pixels, so it is held to the
# globe (--mode globe), the textured sphere it is compared as.
#
# Frames are counted by bench/swap_counter.c, preloaded into both programs.
# After the first frame and a warm-up, each run is sampled over a window of
# VANTREL_BENCH_SECONDS (default 20): the frames presented in it and the CPU
# time (user + system) spent in it by
#   - the program itself (for the saver: its Wine process, all threads,
#     llvmpipe's rendering threads among them);
#   - for the saver, the prefix's wineserver and Wine's other processes
#     (services, explorer.exe): what a Windows program pays Wine for;
#   - the X server, which both pay for presenting each frame.
# "total" is the sum of these. The machine's other load in the window is
# printed beside them, with the load averages, since it slows both.
#
#   bench/saver_frame_cost.sh
# Knobs: VANTREL_BENCH_SECONDS, VANTREL_BENCH_WARMUP (default 3 s),
# VANTREL_BENCH_ROUNDS (default 2; each runs both programs),
# VANTREL_BENCH_DISPLAY (default 63), VANTREL_BENCH_BUILD, VANTREL_WINEPREFIX.
set -euo pipefail
# shellcheck source=bench/saver_bench_lib.sh
source "$(cd "$(dirname "$0")" && pwd)/saver_bench_lib.sh"

seconds=${VANTREL_BENCH_SECONDS:-20}
warmup=${VANTREL_BENCH_WARMUP:-3}
rounds=${VANTREL_BENCH_ROUNDS:-2}
glplanet=/usr/libexec/xscreensaver/glplanet

# Debian 12 ships glplanet in xscreensaver-gl-extra, beside xscreensaver-gl.
saver_bench_prepare xscreensaver-gl xscreensaver-gl-extra
[[ -x $glplanet ]] || vantrel_die "$glplanet is missing"
saver_bench_start_stage
saver_bench_choose_picture "$VANTREL_ROOT/resources/sample.jpg"

# Figures of one run, filled by measure_run.
run_frames=0 run_wall_ns=0 run_program=0 run_wineserver=0 run_wine_other=0 run_xserver=0 run_machine=0

# Samples the launched program over the window. $1: its counter's file;
# $2: "wine" when the prefix's processes are to be counted.
measure_run() {
  local log=$1 kind=$2 pid server_pids=() other_pids=() process exe
  saver_bench_wait_first_frame "$log" 60 || vantrel_die "no first frame within 60 s"
  sleep "$warmup"
  pid=$(saver_bench_record "$log") || vantrel_die "the frame counter's record could not be read"
  pid=${pid%% *}
  if [[ $kind == wine ]]; then
    for process in $(vantrel_wine_processes); do
      [[ $process == "$pid" ]] && continue
      exe=$(readlink "/proc/$process/exe" 2>/dev/null) || continue
      if [[ ${exe##*/} == wineserver* ]]; then server_pids+=("$process"); else other_pids+=("$process"); fi
    done
  fi

  # One reading of every counter: wall clock, frames, and the CPU ticks of the
  # program, the Wine server, Wine's other processes, Xvfb and the machine.
  snapshot() {
    local record count
    record=$(saver_bench_record "$log") || return 1
    read -r _ count _ <<<"$record"
    echo "$(date +%s%N) $count $(saver_bench_cpu_ticks "$pid") $(saver_bench_cpu_ticks_sum "${server_pids[@]}")" \
      "$(saver_bench_cpu_ticks_sum "${other_pids[@]}") $(saver_bench_cpu_ticks "$VANTREL_XVFB_PID")" \
      "$(saver_bench_machine_busy_ticks)"
  }
  local t0 f0 p0 s0 o0 x0 m0 t1 f1 p1 s1 o1 x1 m1
  read -r t0 f0 p0 s0 o0 x0 m0 <<<"$(snapshot)"
  sleep "$seconds"
  read -r t1 f1 p1 s1 o1 x1 m1 <<<"$(snapshot)"
  [[ -n $m0 && -n $m1 ]] || vantrel_die "the frame counter's record could not be read"
  kill -0 "$pid" 2>/dev/null || vantrel_die "the program ended during the measurement"

  run_frames=$((f1 - f0)) run_wall_ns=$((t1 - t0))
  run_program=$((p1 - p0)) run_wineserver=$((s1 - s0)) run_wine_other=$((o1 - o0))
  run_xserver=$((x1 - x0)) run_machine=$((m1 - m0))
}

# Totals over the rounds, per program.
declare -A frames wall program wineserver wine_other xserver machine
for name in ours glplanet; do
  frames[$name]=0 wall[$name]=0 program[$name]=0 wineserver[$name]=0 wine_other[$name]=0
  xserver[$name]=0 machine[$name]=0
done

print_run() {
  local name=$1 load=$2
  awk -v name="$name" -v f="$run_frames" -v w="$run_wall_ns" -v p="$run_program" -v s="$run_wineserver" \
    -v o="$run_wine_other" -v x="$run_xserver" -v m="$run_machine" -v hz="$SAVER_BENCH_HZ" -v load="$load" 'BEGIN {
      wall = w / 1e9; total = (p + s + o + x) / hz
      printf "%-9s %5d frames in %5.2f s = %5.2f fps | CPU s: program %6.2f, wineserver %5.2f, wine services %5.2f,",
        name, f, wall, f / wall, p / hz, s / hz, o / hz
      printf " Xvfb %5.2f, total %6.2f | per 1000 frames: program %6.2f, total %6.2f |", x / hz, total,
        1000 * p / hz / f, 1000 * total / f
      printf " other load %4.2f cores | loadavg %s\n", (m / hz - total) / wall, load
    }'
}

vantrel_log "frame cost: $rounds rounds of ${seconds} s each (after a ${warmup} s warm-up) on $DISPLAY ($SAVER_BENCH_SCREEN)"
printf 'CPU s are user + system over the window; total = program + wineserver + wine services + Xvfb.\n'
for ((round = 1; round <= rounds; ++round)); do
  for name in ours glplanet; do
    log=$SAVER_BENCH_WORK/$name.swaps
    if [[ $name == ours ]]; then
      saver_bench_launch_saver "$log"
      measure_run "$log" wine
    else
      saver_bench_launch "$log" "$glplanet" -root --mode globe
      measure_run "$log" native
    fi
    load=$(saver_bench_load)
    saver_bench_stop_child
    printf 'round %d ' "$round"
    print_run "$name" "$load"
    frames[$name]=$((frames[$name] + run_frames)) wall[$name]=$((wall[$name] + run_wall_ns))
    program[$name]=$((program[$name] + run_program)) wineserver[$name]=$((wineserver[$name] + run_wineserver))
    wine_other[$name]=$((wine_other[$name] + run_wine_other)) xserver[$name]=$((xserver[$name] + run_xserver))
    machine[$name]=$((machine[$name] + run_machine))
  done
done

printf '\nall rounds\n'
for name in ours glplanet; do
  run_frames=${frames[$name]} run_wall_ns=${wall[$name]} run_program=${program[$name]}
  run_wineserver=${wineserver[$name]} run_wine_other=${wine_other[$name]} run_xserver=${xserver[$name]}
  run_machine=${machine[$name]}
  print_run "$name" "$(saver_bench_load)"
done
awk -v hz="$SAVER_BENCH_HZ" \
  -v of="${frames[ours]}" -v op="${program[ours]}" -v ot="$((program[ours] + wineserver[ours] + wine_other[ours] + xserver[ours]))" \
  -v gf="${frames[glplanet]}" -v gp="${program[glplanet]}" -v gt="$((program[glplanet] + xserver[glplanet]))" 'BEGIN {
    ours_total = ot / hz / of; glplanet_total = gt / hz / gf
    printf "ratio ours / glplanet, CPU s per 1000 frames: total %.2f (%.2f / %.2f), program alone %.2f (%.2f / %.2f)\n",
      ours_total / glplanet_total, 1000 * ours_total, 1000 * glplanet_total,
      (op / of) / (gp / gf), 1000 * op / hz / of, 1000 * gp / hz / gf
    printf "goal (no more CPU per frame than glplanet, total): %s\n", ours_total <= glplanet_total ? "met" : "MISSED"
  }'
