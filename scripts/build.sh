#!/usr/bin/env bash
# Configures and builds everything into ${LINTAVO_BUILD_DIR:-build}.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINTAVO_BUILD_DIR:-$root/build}
jobs=${LINTAVO_JOBS:-$(nproc)}
[ "$jobs" -gt 2 ] && jobs=2
. "$root/scripts/compiler-cache.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
