#!/usr/bin/env bash
# Everything a fresh Debian machine needs to build both trees and run every
# test: packages, the native build and its tests (also under the sanitizers),
# the fuzz targets for a bounded time each (FUZZ_SECONDS, default 60), the
# Windows cross build and its tests under Wine (in a private prefix and an
# Xvfb display).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

jobs=$(nproc)

echo "== native build"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
echo "== native tests"
ctest --preset native

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
tools/sanitize.sh

echo "== fuzzing (${FUZZ_SECONDS:-60} s a target)"
FUZZ_SECONDS=${FUZZ_SECONDS:-60} tools/fuzz.sh

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

echo "== windows tests (Wine)"
source tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start build/windows/wine
ctest --preset windows
