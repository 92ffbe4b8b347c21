# shellcheck shell=bash
# Sourced: a private X server for Wine. vantrel_xvfb_start picks a free display
# number and exports DISPLAY (or returns non-zero); vantrel_xvfb_stop ends that
# server again. The caller arranges for vantrel_xvfb_stop to run on every exit
# (see vantrel_cleanup in wine.sh).

VANTREL_XVFB_PID=
VANTREL_XVFB_SCREEN=${VANTREL_XVFB_SCREEN:-1280x1024x24}

vantrel_xvfb_start() {
  local number_file number="" tries
  number_file=$(mktemp)
  # -displayfd makes the server choose a free number and write it back once it
  # accepts connections, so there is neither a guessed number nor a race.
  # -noreset: without it the server resets whenever its last client leaves,
  # which puts the pointer back in the middle between two programs.
  Xvfb -displayfd 9 -screen 0 "$VANTREL_XVFB_SCREEN" -nolisten tcp -noreset \
    +extension GLX 9>"$number_file" </dev/null >/dev/null 2>&1 &
  VANTREL_XVFB_PID=$!
  for ((tries = 0; tries < 200; ++tries)); do
    number=$(head -n 1 "$number_file" 2>/dev/null || true)
    [[ -n $number ]] && break
    if ! kill -0 "$VANTREL_XVFB_PID" 2>/dev/null; then
      VANTREL_XVFB_PID=
      break
    fi
    sleep 0.05
  done
  rm -f "$number_file"
  if [[ -z $number ]]; then
    vantrel_xvfb_stop
    printf 'error: Xvfb did not start\n' >&2
    return 1
  fi
  export DISPLAY=:$number
}

vantrel_xvfb_stop() {
  [[ -n $VANTREL_XVFB_PID ]] || return 0
  kill "$VANTREL_XVFB_PID" 2>/dev/null || true
  wait "$VANTREL_XVFB_PID" 2>/dev/null || true
  VANTREL_XVFB_PID=
}
