#!/usr/bin/env bash
# Configures and builds everything into ${LINTAVO_BUILD_DIR:-build}.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINTAVO_BUILD_DIR:-$root/build}
jobs=${LINTAVO_JOBS:-$(nproc)}
[ "$jobs" -gt 2 ] && jobs=2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"
