#!/usr/bin/env bash
# Regenerates preview_still.jpg, the still picture the preview shows in the
# control panel's little monitor: make_preview_still.exe renders the saver's
# own scene (sample.jpg on the sphere, mid-burst, over a gradient) and reduces
# it to 152 x 112; ImageMagick encodes it as a baseline JFIF JPEG. Run it when
# the scene's look changes, so the preview never drifts from the saver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../scripts
# shellcheck source=../scripts/lib/common.sh
source "$scripts/lib/common.sh"
# shellcheck source=../scripts/lib/display.sh
source "$scripts/lib/display.sh"
# shellcheck source=../scripts/lib/wine.sh
source "$scripts/lib/wine.sh"

vantrel_cleanup_on_exit
vantrel_ensure_tools
(cd "$VANTREL_ROOT" && cmake --preset windows >/dev/null &&
  cmake --build "$VANTREL_WINDOWS_BUILD" --parallel "$VANTREL_JOBS" --target make_preview_still)

[[ -n ${DISPLAY:-} ]] || vantrel_xvfb_start
vantrel_wine_env "$VANTREL_ROOT/build/wineprefix"
vantrel_wine_prefix_ensure

work=$(mktemp -d)
trap 'rm -rf "$work"; vantrel_cleanup' EXIT
wine "$VANTREL_WINDOWS_BUILD/resources/make_preview_still.exe" \
  "$(vantrel_windows_path "$here/sample.jpg")" "$(vantrel_windows_path "$work/still.bmp")"
# Baseline (not progressive), three components, no metadata: about 4 KB.
convert "$work/still.bmp" -strip -interlace none -sampling-factor 2x2 -quality 95 "$here/preview_still.jpg"
identify "$here/preview_still.jpg"
