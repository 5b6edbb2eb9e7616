#!/usr/bin/env bash
# A soak run of the real program under Wine, longer or with another seed than
# ctest's soak_run (10,000 actions, seed 20110204): builds the program and the
# soak driver in a Windows tree and runs tests/soak/soak_run.sh in that tree's
# Wine prefix and an Xvfb display of its own. 2 to 9 ms an action here.
#
#   tools/soak.sh [BUILD_DIR]                  (default build/windows)
#   SOAK_ACTIONS=100000 SOAK_SEED=7 tools/soak.sh build/windows
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/windows}
actions=${SOAK_ACTIONS:-10000}
seed=${SOAK_SEED:-20110204}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target qinghe soak_driver -j 2

source tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start "$build/wine"
bash tests/soak/soak_run.sh "$build/app/qinghe.exe" "$build/tests/soak/soak_driver.exe" "$actions" --seed "$seed"
