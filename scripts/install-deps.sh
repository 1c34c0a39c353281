#!/bin/bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

packages=(g++ cmake make pkg-config qtbase5-dev libgtest-dev libgmock-dev clang libclang-rt-14-dev libxml2-utils
          libbenchmark-dev python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
