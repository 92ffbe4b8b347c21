# shellcheck shell=bash
# Sourced by scripts/run and scripts/test: where the tree is, logging, and the
# packages and locales a build and a test run need on Debian 12.
# Callers run under `set -euo pipefail`; nothing here changes those options.

VANTREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VANTREL_NATIVE_BUILD=$VANTREL_ROOT/build/native
VANTREL_WINDOWS_BUILD=$VANTREL_ROOT/build/windows
# Two cores is the size of every machine the project runs on.
VANTREL_JOBS=${VANTREL_JOBS:-2}

vantrel_log() { printf '\n==> %s\n' "$*" >&2; }
vantrel_die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Everything scripts/run and scripts/test use. Recommends stay on: wine loads
# freetype, fontconfig and libGL through them.
VANTREL_PACKAGES=(
  cmake make g++ googletest libgtest-dev g++-mingw-w64-x86-64
  wine wine64 xvfb xserver-xephyr xdotool x11-utils imagemagick fonts-ipafont-gothic
  libgl1-mesa-dri libglm-dev python3 python3-pytest python3-pil locales
)
# The default Windows of the tests is a Japanese one; the English one proves
# the interface does not depend on the system's code page.
VANTREL_LOCALES=(ja_JP.UTF-8 en_US.UTF-8)

vantrel_missing_packages() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ $status == installed ]] || printf '%s\n' "$package"
  done
}

vantrel_install_packages() {
  local missing
  mapfile -t missing < <(vantrel_missing_packages "$@")
  ((${#missing[@]} == 0)) && return 0
  vantrel_log "installing ${missing[*]}"
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  # The package lists are fetched only when something has to be installed.
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" </dev/null
}

# `locale -a` spells ja_JP.UTF-8 as ja_JP.utf8.
vantrel_locale_present() {
  local wanted=${1,,}
  wanted=${wanted/.utf-8/.utf8}
  locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx -- "$wanted"
}

vantrel_ensure_locales() {
  local name missing=()
  for name in "${VANTREL_LOCALES[@]}"; do
    vantrel_locale_present "$name" || missing+=("$name")
  done
  ((${#missing[@]} == 0)) && return 0
  vantrel_log "generating locales ${missing[*]}"
  local sudo=()
  ((EUID == 0)) || sudo=(sudo)
  for name in "${missing[@]}"; do
    # Uncomment "# ja_JP.UTF-8 UTF-8", or add the line when it is absent.
    if grep -Eq "^[# ]*${name//./\\.} UTF-8" /etc/locale.gen; then
      "${sudo[@]}" sed -i -E "s/^[# ]*(${name//./\\.} UTF-8)/\\1/" /etc/locale.gen
    else
      printf '%s UTF-8\n' "$name" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    fi
  done
  "${sudo[@]}" locale-gen >/dev/null
}

vantrel_ensure_tools() {
  vantrel_install_packages "${VANTREL_PACKAGES[@]}"
  vantrel_ensure_locales
}

# Configures a preset once and builds it; extra arguments go to the build tool
# (for example `-k` to keep going past a failing target).
vantrel_build_preset() {
  local preset=$1 dir
  shift
  case $preset in
    native) dir=$VANTREL_NATIVE_BUILD ;;
    windows) dir=$VANTREL_WINDOWS_BUILD ;;
    *) vantrel_die "unknown preset $preset" ;;
  esac
  (cd "$VANTREL_ROOT" && cmake --preset "$preset" >/dev/null) || return 1
  (cd "$VANTREL_ROOT" && cmake --build "$dir" --parallel "$VANTREL_JOBS" -- "$@")
}
