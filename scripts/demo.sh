#!/usr/bin/env bash
# The main job end to end: set-up and build, the demo library on loopback,
# brindlecast-cli on its full entry into a fresh folder, then what was
# logged and written.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh build
source scripts/start_demo_library.sh
trap stop_demo_library EXIT
start_demo_library build

output="demo-output/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$output"
address="http://$DEMO_RESOURCE_HOST/cases?id=ff808081769a6f150176a809d8d4049d"
echo "== brindlecast-cli $address"
status=0
build/src/cli/brindlecast-cli --resource-host "$DEMO_RESOURCE_HOST" --preview-host "$DEMO_PREVIEW_HOST" \
  --ca-file tools/demo_library/demo_cert.pem --output-dir "$output" "$address" >"$output.log" || status=$?
# Show the log with the per-block progress lines folded to the last of each run.
awk '/: 已下载:/ { pending = $0; next } { if (pending != "") { print pending; pending = "" } print }
     END { if (pending != "") print pending }' "$output.log"
echo
echo "== exit status $status; $(grep -c ': 已下载:' "$output.log") progress lines in $output.log"
echo "== written to $output:"
ls -l "$output"
exit "$status"
