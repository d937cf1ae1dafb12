#!/usr/bin/env bash
# Fuzzes one reader for a while: scripts/fuzz.sh NAME SECONDS
# NAME is a target under tests/fuzz (subtitles, service_answer, wav,
# reference_text, server_query, server_request). Built with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer in ${LINTAVO_FUZZ_DIR:-build-fuzz}.
# New inputs go to build-fuzz/corpus/NAME (copy the telling ones into
# tests/fuzz/corpus/NAME); a crash leaves its input in build-fuzz/artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ ! -d "$root/tests/fuzz/corpus/$1" ]; then
  echo "usage: scripts/fuzz.sh NAME [SECONDS]; NAME one of:" $(ls "$root/tests/fuzz/corpus") >&2
  exit 2
fi
name=$1 seconds=${2:-60}
build=${LINTAVO_FUZZ_DIR:-$root/build-fuzz}
"$root/scripts/setup.sh"
. "$root/scripts/compiler-cache.sh"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINTAVO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" "${launcher[@]}" >/dev/null
cmake --build "$build" -j2 --target "fuzz_$name"
mkdir -p "$build/corpus/$name" "$build/artifacts"
# A target's own libFuzzer flags (-flag=value) and environment (NAME=value),
# one a line, with the reason beside them.
options=()
if [ -f "$root/tests/fuzz/$name.options" ]; then
  while read -r line; do
    case "$line" in
      -*) options+=("$line") ;;
      [A-Z]*=*) export "${line?}" ;;
    esac
  done <"$root/tests/fuzz/$name.options"
fi
# The first folder receives what the run finds; the repository's seeds stay as they are.
"$build/bin/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 -max_len=4096 \
  -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$build/artifacts/$name-" "${options[@]}" \
  "$build/corpus/$name" "$root/tests/fuzz/corpus/$name"
