# Sourced by the scripts that need the demo library: starts it on free
# loopback ports and sets DEMO_RESOURCE_HOST, DEMO_PREVIEW_HOST and DEMO_PID.
# It is stopped by stop_demo_library (call it from an EXIT trap).
# Usage: start_demo_library BUILD_DIR
start_demo_library() {
  local build_dir="$1"
  local ready_file
  ready_file=$(mktemp)
  "$build_dir/tools/demo_library/brindlecast-demo-library" \
    --resource-port 0 --preview-port 0 --print-ready >"$ready_file" &
  DEMO_PID=$!
  local line=""
  for _ in $(seq 1 200); do
    line=$(head -n 1 "$ready_file")
    [ -n "$line" ] && break
    kill -0 "$DEMO_PID" 2>/dev/null || { echo "demo library did not start" >&2; return 1; }
    sleep 0.05
  done
  rm -f "$ready_file"
  [ -n "$line" ] || { echo "demo library did not get ready" >&2; return 1; }
  # "ready http://127.0.0.1:P1 https://127.0.0.1:P2"
  DEMO_RESOURCE_HOST=$(echo "$line" | sed -E 's#^ready http://([^ ]+) https://.*$#\1#')
  DEMO_PREVIEW_HOST=$(echo "$line" | sed -E 's#^.* https://([^ ]+)$#\1#')
}

stop_demo_library() {
  if [ -n "${DEMO_PID:-}" ]; then
    kill "$DEMO_PID" 2>/dev/null || true
    wait "$DEMO_PID" 2>/dev/null || true
    DEMO_PID=""
  fi
}
