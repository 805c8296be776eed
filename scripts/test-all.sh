#!/usr/bin/env bash
# Builds both presets and runs every test: the platform-free code natively under
# the address and undefined-behaviour sanitizers, the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
status=0
for preset in native windows; do
  echo "=== $preset: configure and build"
  cmake --preset $preset >/dev/null
  cmake --build --preset $preset
  echo "=== $preset: tests"
  ctest --preset $preset || status=1
done
exit $status
