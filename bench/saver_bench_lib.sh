# shellcheck shell=bash
# Sourced by bench/saver_frame_cost.sh and bench/saver_first_frame.sh: the
# stage both saver benchmarks share.
#
# - A private Xvfb at 1920 x 1080 x 24 with GLX (Mesa's llvmpipe) on display
#   :$VANTREL_BENCH_DISPLAY (default 63).
# - The Wine prefix build/wineprefix-bench (VANTREL_WINEPREFIX to change it),
#   made once like the tests' prefix, its server kept alive during the run.
# - Vantrel.scr from the windows preset in $VANTREL_BENCH_BUILD (default
#   build/windows), built when out of date, copied into a private folder with
#   a Vantrel.ini of our own, so the build's settings file is never touched.
#   VANTREL_BENCH_SAVER names another Vantrel.scr to run instead (an older
#   build, for a before-and-after comparison).
# - bench/swap_counter.c built into a preloadable library that counts frames
#   and stamps the first one (see that file).
# Everything the run started ends on every way out, and its folder is removed.
# Callers run under `set -euo pipefail`.

saver_bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$saver_bench_dir/../scripts/lib/common.sh"
# shellcheck source=scripts/lib/display.sh
source "$saver_bench_dir/../scripts/lib/display.sh"
# shellcheck source=scripts/lib/wine.sh
source "$saver_bench_dir/../scripts/lib/wine.sh"

SAVER_BENCH_BUILD=${VANTREL_BENCH_BUILD:-$VANTREL_WINDOWS_BUILD}
SAVER_BENCH_DISPLAY=${VANTREL_BENCH_DISPLAY:-63}
SAVER_BENCH_SCREEN=1920x1080x24
SAVER_BENCH_WORK=
SAVER_BENCH_SHIM=
SAVER_BENCH_CHILD=
# What saver_bench_prepare builds; a caller may add targets.
SAVER_BENCH_TARGETS=(Vantrel)
# Clock ticks a second in /proc/<pid>/stat and /proc/stat.
# shellcheck disable=SC2034 # read by the scripts that source this
SAVER_BENCH_HZ=$(getconf CLK_TCK)

saver_bench_cleanup() {
  saver_bench_stop_child
  vantrel_cleanup
  [[ -n $SAVER_BENCH_WORK ]] && rm -rf "$SAVER_BENCH_WORK"
  SAVER_BENCH_WORK=
}

# Installs what is missing (the packages of scripts/run and scripts/test plus
# the given ones), builds the given targets of the windows preset and the
# frame counter, and makes the private folder. Sets the exit trap.
saver_bench_prepare() {
  trap saver_bench_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  vantrel_ensure_tools
  vantrel_install_packages gcc libc6-dev "$@"

  vantrel_log "building ${SAVER_BENCH_TARGETS[*]} in $SAVER_BENCH_BUILD"
  (cd "$VANTREL_ROOT" && cmake --preset windows -B "$SAVER_BENCH_BUILD" >/dev/null &&
    cmake --build "$SAVER_BENCH_BUILD" --parallel "$VANTREL_JOBS" --target "${SAVER_BENCH_TARGETS[@]}" >/dev/null) ||
    vantrel_die "the build failed (run the same cmake commands to see why)"

  SAVER_BENCH_WORK=$(mktemp -d /tmp/vantrel-bench.XXXXXX)
  SAVER_BENCH_SHIM=$SAVER_BENCH_WORK/swap_counter.so
  gcc -std=c11 -O2 -Wall -Wextra -shared -fPIC -o "$SAVER_BENCH_SHIM" "$saver_bench_dir/swap_counter.c" -ldl -lpthread ||
    vantrel_die "the frame counter did not build"
  mkdir "$SAVER_BENCH_WORK/saver"
  cp "${VANTREL_BENCH_SAVER:-$SAVER_BENCH_BUILD/Vantrel.scr}" "$SAVER_BENCH_WORK/saver/Vantrel.scr"
}

# Starts the private X server and the Wine prefix's server on it.
saver_bench_start_stage() {
  local display=:$SAVER_BENCH_DISPLAY tries
  if [[ -e /tmp/.X$SAVER_BENCH_DISPLAY-lock ]]; then
    vantrel_die "display $display is taken; choose another with VANTREL_BENCH_DISPLAY"
  fi
  Xvfb "$display" -screen 0 "$SAVER_BENCH_SCREEN" -nolisten tcp +extension GLX </dev/null >/dev/null 2>&1 &
  VANTREL_XVFB_PID=$!
  export DISPLAY=$display
  for ((tries = 0; tries < 200; ++tries)); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$VANTREL_XVFB_PID" 2>/dev/null || vantrel_die "Xvfb did not start on $display"
    sleep 0.05
  done
  xdpyinfo >/dev/null 2>&1 || vantrel_die "Xvfb on $display does not answer"

  vantrel_wine_env "$VANTREL_ROOT/build/wineprefix-bench"
  vantrel_wine_prefix_ensure || vantrel_die "no Wine prefix"
  vantrel_wine_server_start
}

# Points the private copy's Vantrel.ini at one picture (a Unix path), as a
# save would write it: code page 932, CRLF line ends, the seven keys.
saver_bench_choose_picture() {
  local picture
  picture=$(vantrel_windows_path "$1")
  [[ -n $picture ]] || vantrel_die "Wine gave no Windows path for $1"
  sed 's/$/\r/' <<EOF | iconv -f UTF-8 -t CP932 >"$SAVER_BENCH_WORK/saver/Vantrel.ini"
[Section]
ﾌｧｲﾙ名=$picture
ﾌｫﾙﾀﾞ名=
ﾌｧｲﾙ区分= 1
球の大きさ= 3
回転の速さ= 25
爆発の拡散度合い= 5
爆発の拡散する速さ= 5
EOF
}

# A photograph-like JPEG of the given size ("6000x4000") at $1, made with
# ImageMagick from fractal plasma (it compresses like a photograph: the
# 24-megapixel one about 7 MB at quality 92) unless it is there already.
# Made beside the final name and moved into place, so a cut-short making
# never leaves a half picture to be reused.
saver_bench_make_picture() {
  local path=$1 size=$2 partial
  [[ -s $path ]] && return 0
  vantrel_log "making $path"
  mkdir -p "$(dirname "$path")"
  partial=$(mktemp "$path.XXXXXX")
  convert -seed 7 -size "$size" plasma:fractal -quality 92 "jpeg:$partial"
  mv "$partial" "$path"
}

# Starts a program in the background, in the saver's private folder, with
# the frame counter preloaded and writing to $1; the rest is the command.
# SAVER_BENCH_CHILD is its pid (the program's own: the subshell execs it, and
# so does `wine`).
saver_bench_launch() {
  local log=$1
  shift
  rm -f "$log"
  (cd "$SAVER_BENCH_WORK/saver" && VANTREL_SWAP_LOG=$log LD_PRELOAD=$SAVER_BENCH_SHIM exec "$@") \
    </dev/null >/dev/null 2>&1 &
  SAVER_BENCH_CHILD=$!
}

saver_bench_launch_saver() { saver_bench_launch "$1" wine Vantrel.scr /s; }

saver_bench_stop_child() {
  [[ -n $SAVER_BENCH_CHILD ]] || return 0
  kill "$SAVER_BENCH_CHILD" 2>/dev/null || true
  wait "$SAVER_BENCH_CHILD" 2>/dev/null || true
  SAVER_BENCH_CHILD=
}

# The counter's record as "pid frames first_ns last_ns textured_ns" (the
# last 0 before a frame with a texture), or nothing before the first frame.
# Read until two reads agree, so a line caught while it was being rewritten
# is never taken; fails when they never do, and a caller must then not use
# the (empty) answer as a figure.
saver_bench_record() {
  local log=$1 first second tries
  local pattern='^pid=([0-9]+) frames=([0-9]+) first_ns=([0-9]+) last_ns=([0-9]+) textured_ns=([0-9]+)'
  [[ -s $log ]] || return 0
  for ((tries = 0; tries < 20; ++tries)); do
    first=$(head -c 159 "$log" 2>/dev/null || true)
    second=$(head -c 159 "$log" 2>/dev/null || true)
    if [[ $first == "$second" && $first =~ $pattern ]]; then
      printf '%s %s %s %s %s\n' "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" "${BASH_REMATCH[3]}" "${BASH_REMATCH[4]}" \
        "${BASH_REMATCH[5]}"
      return 0
    fi
    sleep 0.002
  done
  return 1
}

# Waits for the first frame of the launched program; fails when it ends or
# $2 seconds pass first.
saver_bench_wait_first_frame() {
  local log=$1 limit=$2 tenths
  for ((tenths = 0; tenths < limit * 20; ++tenths)); do
    [[ -n $(saver_bench_record "$log" || true) ]] && return 0
    kill -0 "$SAVER_BENCH_CHILD" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# User plus system clock ticks of a process, all its threads, live and ended.
saver_bench_cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || {
    echo 0
    return 0
  }
  # The name in parentheses may hold spaces; the fields after it are fixed.
  local -a fields
  read -r -a fields <<<"${stat##*) }"
  echo $((fields[11] + fields[12]))
}

saver_bench_cpu_ticks_sum() {
  local pid total=0
  for pid in "$@"; do total=$((total + $(saver_bench_cpu_ticks "$pid"))); done
  echo "$total"
}

# Busy clock ticks of the whole machine (every core), from /proc/stat.
saver_bench_machine_busy_ticks() {
  local user nice system irq softirq steal
  # cpu user nice system idle iowait irq softirq steal ...
  read -r _ user nice system _ _ irq softirq steal _ </proc/stat
  echo $((user + nice + system + irq + softirq + steal))
}

saver_bench_load() { cut -d' ' -f1-3 /proc/loadavg; }
