# shellcheck shell=bash
# Sourced: the Wine side of a run. One prefix per purpose under build/, made
# once and reused: build/wineprefix for scripts/run, build/wineprefix-test for
# the tests, so a saver left running by scripts/run is never seen by the
# instance guard of a test, and the end of a test run never kills it.
# Needs common.sh and display.sh.

VANTREL_WINE_USED=

# Exports the environment every wine command of ours runs in. The locale is a
# Japanese one unless VANTREL_LANG names another (it must be a UTF-8 locale so
# that Japanese command-line arguments reach the program intact).
vantrel_wine_env() {
  local default_prefix=$1
  export WINEPREFIX=${VANTREL_WINEPREFIX:-$default_prefix}
  export WINEARCH=win64
  export WINEDEBUG=${VANTREL_WINEDEBUG:--all}
  # No prompt to install Mono or Gecko: nothing of ours uses .NET or HTML.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The shell itself may not switch to a locale generated after it started
  # (it keeps the old locale archive); the programs it starts do.
  export LANG=${VANTREL_LANG:-ja_JP.UTF-8} 2>/dev/null
  export LC_ALL=$LANG 2>/dev/null
  unset LANGUAGE
  VANTREL_WINE_USED=1
}

# The Japanese system fonts that our windows ask for, mapped to the IPA fonts.
# Written as a UTF-16 registry file so that the names survive whatever the
# locale of the shell is.
vantrel_font_substitutes_reg() {
  local key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  {
    printf '\xff\xfe'
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "[$key]" \
      '"ＭＳ Ｐゴシック"="IPAPGothic"' \
      '"ＭＳ ゴシック"="IPAGothic"' \
      '"MS PGothic"="IPAPGothic"' \
      '"MS Gothic"="IPAGothic"' \
      '"MS UI Gothic"="IPAPGothic"' '' | iconv -f UTF-8 -t UTF-16LE
  }
}

# Makes the prefix unless a finished one is there. A prefix whose making was
# cut short has no marker and is made again from nothing. Returns non-zero,
# with a message, when the prefix cannot be made.
vantrel_wine_prefix_ensure() {
  local marker=$WINEPREFIX/.vantrel-prefix-ready work substitutes
  [[ -f $marker ]] && return 0
  vantrel_log "making the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX" && mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  if ! wineboot -i >/dev/null 2>&1 || ! wineserver -w; then
    printf 'error: wineboot could not make %s\n' "$WINEPREFIX" >&2
    return 1
  fi
  work=$(mktemp -d) || return 1
  vantrel_font_substitutes_reg >"$work/fonts.reg"
  # A relative name: Wine's current folder is the Unix one seen through Z:.
  (cd "$work" && wine regedit /S fonts.reg >/dev/null 2>&1)
  rm -rf "$work"
  substitutes=$(wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS PGothic' 2>/dev/null || true)
  # The server of the making ends here, so that the caller may start its own.
  wineserver -w
  if [[ $substitutes != *IPAPGothic* ]]; then
    printf 'error: the font substitutes did not reach %s\n' "$WINEPREFIX" >&2
    return 1
  fi
  touch "$marker"
}

# Keeps the prefix's server running until vantrel_wine_stop, so that no
# program start waits for Wine's services to boot. A server that already runs
# (another run on the same prefix) is left as it is.
vantrel_wine_server_start() {
  wineserver -p >/dev/null 2>&1 || true
}

# The Windows form of a Unix path inside the prefix (Z: is the Unix root).
vantrel_windows_path() {
  winepath -w "$1" 2>/dev/null
}

# The live processes of this prefix (Wine's own services included): Wine's
# loaders and server whose environment names the prefix.
vantrel_wine_processes() {
  local process exe
  for process in /proc/[0-9]*; do
    exe=$(readlink "$process/exe" 2>/dev/null) || continue
    [[ ${exe##*/} == wine* ]] || continue
    tr '\0' '\n' <"$process/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
      printf '%s\n' "${process#/proc/}"
  done
  return 0
}

vantrel_wine_stop() {
  [[ -n $VANTREL_WINE_USED ]] || return 0
  VANTREL_WINE_USED=
  # Ends every process of the prefix, the ones a test left behind included.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  local tries leftovers pids
  for ((tries = 0; tries < 50; ++tries)); do
    leftovers=$(vantrel_wine_processes)
    [[ -z $leftovers ]] && return 0
    sleep 0.1
  done
  printf 'warning: killing Wine processes that outlived their server: %s\n' "${leftovers//$'\n'/ }" >&2
  mapfile -t pids <<<"$leftovers"
  kill -9 "${pids[@]}" 2>/dev/null || true
}

vantrel_cleanup() {
  vantrel_wine_stop
  vantrel_xvfb_stop
}

# Every way out of the calling script ends Wine and the X server it started.
vantrel_cleanup_on_exit() {
  trap vantrel_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
}
