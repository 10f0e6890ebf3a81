#!/usr/bin/env bash
# Every benchmark, each printing its own figure, the peer's from the same run
# and the ratio. Usage: scripts/bench.sh [json|text|download|cli|gui ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null
which=("$@")
[ ${#which[@]} -gt 0 ] || which=(json text download cli gui)
for name in "${which[@]}"; do
  echo "=== $name"
  case "$name" in
    json) build/bench/json/json_bench ;;
    text) build/bench/text_ops/bench_text_ops ;;
    download) build/bench/download/download_bench ;;
    cli) bench/cli/run.sh build ;;
    gui) QT_QPA_PLATFORM=offscreen build/bench/gui/gui_bench ;;
    *) echo "unknown benchmark $name" >&2; exit 2 ;;
  esac
done
