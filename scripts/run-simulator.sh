#!/bin/bash
# Installs what is missing, builds the simulator and runs it in the folder
# run/ of the checkout (its working folder: settings, store files). A first
# run writes a starter settings file there, so that remote clients can
# connect to 127.0.0.1 port 2100 at once.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target zu-orb-sim -j"$(nproc)"
mkdir -p run
cd run
if [ ! -f system.cfg ]; then
    printf 'IpAddress=127.0.0.1\nDNS=0\nPort=2100\n' > system.cfg
fi
exec ../build/host/zu-orb-sim "$@"
