#!/bin/bash
# Installs what is missing, builds the simulator and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zu-orb-sim -j"$(nproc)"
exec ./build/host/zu-orb-sim "$@"
