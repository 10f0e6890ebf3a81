#!/usr/bin/env bash
# A short, bounded libFuzzer run over the JSON document. Builds the core with
# coverage and sanitizer instrumentation in build-fuzz (clang), runs the
# target from the committed seeds and fails when the fuzzer reports a crash.
# FUZZ_SECONDS overrides the run time (default 60).
set -euo pipefail
cd "$(dirname "$0")/../.."

build_dir=build-fuzz
seconds="${FUZZ_SECONDS:-60}"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja \
  -DBRINDLECAST_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$flags"
cmake --build "$build_dir" --target json_document_fuzz -j "$(nproc)"

# New inputs go to a scratch copy so that the committed seeds stay as they are.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp tests/fuzz/corpus/json_document/* "$work/"

echo "fuzz: json_document_fuzz for ${seconds} s"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build_dir/tests/fuzz/json_document_fuzz" \
  -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -dict=tests/fuzz/json.dict -artifact_prefix="$build_dir/" -print_final_stats=1 \
  "$work"
echo "fuzz: no findings"
