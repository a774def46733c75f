#!/usr/bin/env bash
# Sets up, builds and starts Keldara on the ready-made demo application folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target demo
exec build/release/demo/keldara
