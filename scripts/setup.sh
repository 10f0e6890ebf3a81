#!/usr/bin/env bash
# Installs every Debian package the project needs, then configures and builds.
# Usage: scripts/setup.sh [BUILD_DIR [extra cmake arguments...]]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev
  libcurl4-openssl-dev libssl-dev libcpp-httplib-dev
  qt6-base-dev qt6-image-formats-plugins
  nlohmann-json3-dev
  clang libclang-rt-14-dev
  curl jq openssl locales
  xvfb xauth fonts-noto-cjk openbox
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# One locale with a decimal comma, so the tests can show that numbers keep their point.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ "$(id -u)" -eq 0 ]; then
    localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "setup: could not make the de_DE.UTF-8 locale" >&2
  fi
fi

build_dir="${1:-build}"
shift || true
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
