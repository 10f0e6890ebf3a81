#!/usr/bin/env bash
# The whole test suite: set-up and build, the tests, the tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
ctest --test-dir build --output-on-failure -j 2

scripts/setup.sh build-asan -DBRINDLECAST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j 2

if [ -f tests/fuzz/run.sh ]; then
  bash tests/fuzz/run.sh
fi
