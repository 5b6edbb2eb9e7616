#!/usr/bin/env bash
# Builds what is needed and runs the calendar under Wine: in the X display
# when there is one, otherwise in a virtual display, with a screenshot of the
# window written to build/windows/artifacts/run.png.
#   tools/run.sh [--time-server URL]   the window program
#   tools/run.sh qhcal [ARGS]          the terminal calendar
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

if [ "${1:-}" = qhcal ]; then
  shift
  cmake --preset native >/dev/null
  cmake --build --preset native -j "$(nproc)" --target qhcal >/dev/null
  exec build/native/cli/qhcal "$@"
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target qinghe >/dev/null

source tools/wine-env.sh
trap wine_env_stop EXIT
if [ -n "${DISPLAY:-}" ]; then
  WINE_ENV_OWN_DISPLAY=1 wine_env_start build/windows/wine-run
  wine build/windows/app/qinghe.exe "$@"
else
  wine_env_start build/windows/wine-run
  echo "No X display: running in a virtual one. Close with Ctrl+C." >&2
  wine build/windows/app/qinghe.exe "$@" &
  program=$!
  sleep 3
  mkdir -p build/windows/artifacts
  import -window root build/windows/artifacts/run.png 2>/dev/null &&
    echo "Screenshot: build/windows/artifacts/run.png" >&2
  wait "$program"
fi
