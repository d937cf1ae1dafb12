#!/usr/bin/env bash
# Sets the machine up, builds, and runs every test (ctest). Each test starts
# the services it needs (reference service, PulseAudio, Xvfb) and stops them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${LINTAVO_BUILD_DIR:-$root/build}
cd "$build"
ctest --output-on-failure -j2 --timeout 900 "$@"
