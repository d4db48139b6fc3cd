#!/usr/bin/env bash
# Builds the Debian package of ledora (build/package/ledora_VERSION_ARCH.deb)
# from the release build, and checks it with lintian.
# Install it with: apt-get install ./build/package/ledora_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target ledora dist_files
cpack --config "$build/CPackConfig.cmake" -B build/package >/dev/null
deb=$(ls build/package/ledora_*.deb)
lintian --fail-on error "$deb"
echo "$deb"
