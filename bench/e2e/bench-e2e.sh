#!/usr/bin/env bash
# Runs the end-to-end scenario several times, each with its own service,
# display and sound server, and prints the interface thread's longest stall
# per step: every run's table, then the median and the worst over the runs
# that passed. Usage: bench-e2e.sh RUNS SERVER MEDIA TEST-PROGRAM
set -u
runs="$1" server="$2" media="$3" program="$4"
runner="$(cd "$(dirname "$0")/../../tests/support" && pwd)/run-test.sh"
out=$(mktemp -d /tmp/lintavo-bench-e2e.XXXXXX)
trap 'rm -rf "$out"' EXIT
passed=0
for i in $(seq 1 "$runs"); do
  start=$(date +%s)
  "$runner" --server "$server" --pulse --xvfb --media "$media" -- "$program" -silent \
    >"$out/run$i.txt" 2>"$out/err$i.txt"
  rc=$?
  echo "run $i: exit code $rc after $(( $(date +%s) - start )) s"
  sed -n '/^Longest stall/,/^machine load/p' "$out/run$i.txt"
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    sed -n '/^step /,/^machine load/p' "$out/run$i.txt" | grep -v '^step \|^machine load' >>"$out/steps.txt"
  else
    grep -h 'FAIL' "$out/run$i.txt" | head -3
  fi
  echo
done
[ "$passed" -gt 0 ] || { echo "no run passed"; exit 1; }
echo "Longest stall per step over $passed passed runs of $runs (ms)"
# A table line: the step's name, its longest gap, of it running and waiting
# for a processor ("-" when unknown), its duration.
awk '{
  name = $1; for (i = 2; i <= NF - 4; ++i) name = name " " $i
  if (!(name in seen)) { seen[name] = 1; order[++n] = name }
  count[name]++; gap[name, count[name]] = $(NF - 3); queued[name, count[name]] = $(NF - 1)
}
END {
  printf "%-28s %8s %8s %22s\n", "step", "median", "worst", "worst: waiting for CPU"
  for (k = 1; k <= n; ++k) {
    s = order[k]; m = count[s]
    for (i = 1; i <= m; ++i) { v[i] = gap[s, i]; q[i] = queued[s, i] }
    for (i = 1; i <= m; ++i) for (j = i + 1; j <= m; ++j) if (v[j] + 0 < v[i] + 0) {
      t = v[i]; v[i] = v[j]; v[j] = t; t = q[i]; q[i] = q[j]; q[j] = t }
    printf "%-28s %8d %8d %22s\n", s, v[int((m + 1) / 2)], v[m], q[m]
  }
}' "$out/steps.txt"
