#!/usr/bin/env bash
# Builds what is needed and runs the calendar. Arguments go to qhcal.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target qhcal >/dev/null
exec build/native/cli/qhcal "$@"
