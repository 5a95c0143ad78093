#!/usr/bin/env bash
# Configures and builds the two trees with their presets:
#   build/native   portable core, unit tests, benchmarks (g++)
#   build/windows  Horalis.exe and kbdh.dll in bin/, the end-to-end driver in e2e/ (MinGW-w64)
# usage: scripts/build.sh [native] [windows]   (both when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

trees=("$@")
((${#trees[@]})) || trees=(native windows)
for tree in "${trees[@]}"; do
  echo "build: $tree"
  cmake --preset "$tree" --log-level=WARNING >/dev/null
  cmake --build --preset "$tree" -j"$(nproc)"
done
