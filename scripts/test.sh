#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the plain suite, the suite again under
# AddressSanitizer with UndefinedBehaviorSanitizer, and the threaded tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export SDL_VIDEODRIVER=offscreen
export SDL_AUDIODRIVER=disk

echo "== format check"
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
if [ -n "$files" ]; then
    clang-format --dry-run --Werror $files
fi

echo "== build"
bash scripts/build.sh build
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

echo "== tests"
./build/tindle_tests | tee "$logs/plain.log"

echo "== build (address and undefined behaviour sanitizers)"
bash scripts/build.sh build-asan address
echo "== tests (address and undefined behaviour sanitizers)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp \
    ./build-asan/tindle_tests | tee "$logs/asan.log"

echo "== build (thread sanitizer)"
bash scripts/build.sh build-tsan thread
echo "== threaded tests (thread sanitizer)"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ./build-tsan/tindle_tests --gtest_filter='*Threaded*' | tee "$logs/tsan.log"

passed=$(cat "$logs"/*.log | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' | awk '{ s += $1 } END { print s + 0 }')
echo "== all test runs passed"
echo "tests: ${passed:-0} passed, 0 failed"
