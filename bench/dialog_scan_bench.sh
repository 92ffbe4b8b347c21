#!/usr/bin/env bash
# Runs bench/dialog_scan_bench_win32.exe under Wine with three 24-megapixel
# photos (6000 x 4000 JPEG, made once with ImageMagick under build/bench-photos)
# and the shared folder of 32,767 images. Uses the test prefix and a private
# Xvfb unless DISPLAY is set.
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../scripts" && pwd)
# shellcheck source=../scripts/lib/common.sh
source "$scripts/lib/common.sh"
# shellcheck source=../scripts/lib/display.sh
source "$scripts/lib/display.sh"
# shellcheck source=../scripts/lib/wine.sh
source "$scripts/lib/wine.sh"

vantrel_cleanup_on_exit
(cd "$VANTREL_ROOT" && cmake --preset windows >/dev/null && cmake --build "$VANTREL_WINDOWS_BUILD" --target dialog_scan_bench_win32 >/dev/null)
photos=$VANTREL_ROOT/build/bench-photos
mkdir -p "$photos"
for name in harbour forest dunes; do
  [[ -f $photos/$name.jpg ]] && continue
  vantrel_log "making $photos/$name.jpg"
  convert -size 6000x4000 -seed "${#name}" plasma:fractal -quality 90 "$photos/$name.jpg"
done
[[ -n ${DISPLAY:-} ]] || vantrel_xvfb_start
vantrel_wine_env "$VANTREL_ROOT/build/wineprefix-test"
vantrel_wine_prefix_ensure
wine "$VANTREL_WINDOWS_BUILD/bench/dialog_scan_bench_win32.exe" "$(vantrel_windows_path "$photos")"
