#!/usr/bin/env bash
# Builds the parts without a user interface (framework, base transport,
# service client, engine, reference service) and their tests with
# AddressSanitizer and UndefinedBehaviorSanitizer in
# ${LINTAVO_SANITIZE_DIR:-build-sanitize}, and runs those tests and the fuzz
# corpus replays. Any sanitizer report, in a test or in a program it started,
# fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LINTAVO_SANITIZE_DIR:-$root/build-sanitize}
"$root/scripts/setup.sh"
. "$root/scripts/compiler-cache.sh"
# -O1 -g: the sanitizers' usual level, quicker to build than the release flags.
flags="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Sanitize \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" "${launcher[@]}" >/dev/null
folders=(framework base service engine server tests/framework tests/base tests/service
         tests/engine tests/server tests/fuzz)
start=$SECONDS
for folder in "${folders[@]}"; do
  [ -d "$build/$folder" ] && make -C "$build/$folder" -j2 --no-print-directory all >/dev/null
done
echo "sanitize: built in $((SECONDS - start)) s"

reports="$build/sanitizer-reports"
rm -rf "$reports" && mkdir -p "$reports"
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
start=$SECONDS
status=0
(cd "$build" && ctest --output-on-failure -j2 --timeout 900 \
  -R '^(framework|service|engine|server|fuzz)\.|^base\.(transport|cachedfile)$') || status=$?
echo "sanitize: tests ran in $((SECONDS - start)) s"
# AddressSanitizer writes its reports to files; UndefinedBehaviorSanitizer
# beside it can only write to the output, which ctest keeps for every test.
pattern="runtime error:|ERROR: (Address|Leak)Sanitizer"
if [ -n "$(ls -A "$reports")" ] || grep -qE "$pattern" "$build/Testing/Temporary/LastTest.log"; then
  for report in "$reports"/*; do
    [ -f "$report" ] && echo "=== $report" && cat "$report"
  done
  grep -E -B5 -A20 "$pattern" "$build/Testing/Temporary/LastTest.log" || true
  echo "sanitize: sanitizer reports above" >&2
  exit 1
fi
exit $status
