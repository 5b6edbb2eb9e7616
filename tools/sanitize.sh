#!/usr/bin/env bash
# The native build and all its tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, with GCC as in the ordinary native build (so
# -fexec-charset=GBK and the project's options stay as they are; the
# sanitizer flags come from the command line only), in build/asan. The first
# sanitizer report ends its test with a failure.
#
# No test is left out: the generators' "is current" tests and the qhcal
# program tests run instrumented too.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/asan
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# -O1 keeps the tests quick; no NDEBUG, so assertions are checked as well.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE= \
  -DCMAKE_C_FLAGS="-O1 -g $sanitize" -DCMAKE_CXX_FLAGS="-O1 -g $sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j 2

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" -j 2 --output-on-failure --timeout 600
