#!/bin/bash
# Builds and runs the whole test suite twice: as shipped, then with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy CORVANT_NO_DIALOGS=1
jobs=$(nproc)

echo "== build"
bash scripts/build.sh
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANT_SANITIZE=ON -DCORVANT_BENCH=OFF >/dev/null
cmake --build build-asan
echo "== sanitizer tests"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j "$jobs"
