#!/usr/bin/env bash
# Pictures of the main and the donation window, taken on a virtual X display:
# docs/main_window.png and docs/donation_window.png.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (needs xvfb; openbox adds the frame)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${1:-build}"
cmake --build "$build_dir" --target brindlecast_window_screenshots
tool="$build_dir/tests/app/brindlecast_window_screenshots"

xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24" bash -c '
  if command -v openbox > /dev/null; then
    openbox & wm=$!
    sleep 1
  fi
  QT_QPA_PLATFORM=xcb "$0" docs/main_window.png docs/donation_window.png
  status=$?
  if [ -n "${wm:-}" ]; then kill "$wm"; fi
  exit $status
' "$tool"
echo "written: docs/main_window.png docs/donation_window.png"
