#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: scripts/run-tests.sh [dev|asan|release]
# KELDARA_WERROR=ON turns warnings into errors.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/install-deps.sh
cmake --preset "$preset" -DKELDARA_WERROR="${KELDARA_WERROR:-OFF}" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" --output-on-failure -j2
scripts/check-windows.sh
