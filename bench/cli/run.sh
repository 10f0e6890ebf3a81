#!/usr/bin/env bash
# brindlecast-cli on the large demo entry (a 20 MiB PDF and two 100 MiB
# videos) against a plain shell baseline with curl and jq that sends the same
# six queries and makes the same three downloads, in the same run.
# Usage: bench/cli/run.sh [BUILD_DIR]   (the build must be done)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
rounds=3
case_id=ff808081769a6f150176a809d8d400b1
ca=tools/demo_library/demo_cert.pem

source scripts/start_demo_library.sh
work=$(mktemp -d)
cleanup() { stop_demo_library; rm -rf "$work"; }
trap cleanup EXIT
start_demo_library "$build"
R=$DEMO_RESOURCE_HOST
P=$DEMO_PREVIEW_HOST

stamp() { date +%s%3N; }

run_cli() {
  "$build/src/cli/brindlecast-cli" --resource-host "$R" --preview-host "$P" --ca-file "$ca" \
    --output-dir "$1" "http://$R/cases?id=$case_id" >"$1.log"
}

run_baseline() {
  local out="$1"
  mkdir -p "$out"
  local detail preview title key config src record meta_url name
  detail=$(curl -s "http://$R/api/open/reslib/content/detail?id=$case_id&_=$(stamp)")
  title=$(jq -r '.data.attrs[0].value // empty' <<<"$detail")
  preview=$(jq -r '.data.attrs[9].value // empty' <<<"$detail")
  config=$(curl -s --cacert "$ca" "${preview/\/view\//\/content\/}.json")
  src=$(jq -r '.srcUrl // empty' <<<"$config")
  curl -s --fail --cacert "$ca" -o "$out/$title.pdf" "https://$P$src"
  for key in $(jq -r '.data.attrs[10].value, .data.attrs[11].value' <<<"$detail"); do
    record=$(curl -s "http://$R/api/open/file/get?keyList=$key&typeList=mp4&_=$(stamp)" | jq -r '.data[0]')
    meta_url=$(jq -r '.httpURL' <<<"$record")
    name=$(curl -s "$meta_url" | jq -r '.levels.ori.list[0].filename')
    curl -s --fail -o "$out/$name" "${meta_url/meta.json/$name}"
  done
}

seconds_of() {  # runs "$@", prints its wall time in seconds
  local start end
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}

best_cli=""
best_base=""
for round in $(seq 1 "$rounds"); do
  t_cli=$(seconds_of run_cli "$work/cli-$round")
  t_base=$(seconds_of run_baseline "$work/base-$round")
  # Both must have written the same three files.
  for f in "$work/base-$round"/*; do
    cmp -s "$f" "$work/cli-$round/$(basename "$f")" || { echo "files differ: $(basename "$f")" >&2; exit 1; }
  done
  echo "round $round: brindlecast-cli ${t_cli}s, curl+jq ${t_base}s"
  rm -rf "$work/cli-$round" "$work/base-$round"
  best_cli=$(awk -v a="$t_cli" -v b="$best_cli" 'BEGIN { print (b == "" || a < b) ? a : b }')
  best_base=$(awk -v a="$t_base" -v b="$best_base" 'BEGIN { print (b == "" || a < b) ? a : b }')
done
awk -v c="$best_cli" -v b="$best_base" 'BEGIN {
  printf "best of %d: brindlecast-cli %.3fs, curl+jq %.3fs, ratio %.2f (goal: at most 1.10)\n", '"$rounds"', c, b, c / b }'
