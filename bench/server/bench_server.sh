#!/usr/bin/env bash
# Requests per second and p50/p99 latency of the home index and a filtered clip list, with
# 50 concurrent connections for 10 s each on loopback (wrk), then of the home index again while
# 200 slow connections trickle never-ending request heads. Usage: bench_server.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
server="$build/bin/lintavo-server"
media="${LINTAVO_BENCH_MEDIA:-$build/test-media}"
key="${LINTAVO_SIGNING_KEY:-lintavo2signkey7x9q4}"
connections="${BENCH_CONNECTIONS:-50}"
seconds="${BENCH_SECONDS:-10}"
slow="${BENCH_SLOW_CONNECTIONS:-200}"
command -v wrk >/dev/null || { echo "bench-server: wrk is not installed" >&2; exit 1; }

work=$(mktemp -d /tmp/lintavo-bench.XXXXXX)
"$server" --port 0 --data "$work/data" --media "$media" --wait-media --quiet >"$work/out" 2>"$work/err" &
pid=$!
holder=""
trap 'kill $holder $pid 2>/dev/null; wait $holder $pid 2>/dev/null; rm -rf "$work"' EXIT
port=""
for _ in $(seq 1 3000); do
  port=$(sed -n 's#^listening on http://127\.0\.0\.1:\([0-9]*\).*#\1#p' "$work/out" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "bench-server: the service did not start" >&2; cat "$work/err" >&2; exit 1; }
origin="http://127.0.0.1:$port"

# The signature: keys in order, each followed by its value, then MD5 in hex.
md5() { printf '%s' "$1" | md5sum | cut -c1-32; }
ts=$(date +%s)
home_sign=$(md5 "auth_tokensecurity_key${key}timestamp${ts}uid0")
home="$origin/windows/home/index?uid=0&auth_token=&timestamp=$ts&sign=$home_sign"
list_text="auth_tokencategory_id0difficulty1nature_idpronunciationallroleallrows50security_key${key}sorthotspeedallstart0subtitle_num3,5timestamp${ts}uid"
list_sign=$(md5 "$list_text")
list="$origin/course/get_course_list?uid=&auth_token=&timestamp=$ts&start=0&rows=50&sort=hot&nature_id=&role=all&pronunciation=all&speed=all&difficulty=1&subtitle_num=3,5&category_id=0&sign=$list_sign"

for url in "$home" "$list"; do
  curl -sf "$url" | grep -q '"status":1' || { echo "bench-server: request refused: $url" >&2; exit 1; }
done

run() {
  local name="$1" url="$2"
  local out
  out=$(wrk -t2 -c"$connections" -d"${seconds}s" --latency "$url")
  local rps p50 p99 errors
  rps=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p50=$(awk '$1 == "50%" {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(awk '/Non-2xx|Socket errors/ {print}' <<<"$out")
  printf '%-22s %10s req/s   p50 %8s   p99 %8s  %s\n' "$name" "$rps" "$p50" "$p99" "$errors"
}

echo "lintavo-server on $origin, $connections connections, ${seconds}s per endpoint"
run "home index" "$home"
run "filtered course list" "$list"

# Holds $slow connections that send one more header line every second and never end their head;
# a connection the service closes is opened again, so the pressure stays constant. Writes
# "ready" to $work/slow once every connection is open.
hold_slow() {
  trap '' PIPE
  local fds=() i fd
  open_slow() {
    exec {fd}<>"/dev/tcp/127.0.0.1/$port" 2>/dev/null &&
      printf 'GET / HTTP/1.1\r\nHost: bench\r\n' >&"$fd" 2>/dev/null
  }
  for ((i = 0; i < slow; i++)); do
    open_slow
    fds+=("$fd")
  done
  echo ready >"$work/slow"
  while :; do
    for i in "${!fds[@]}"; do
      fd=${fds[$i]}
      if ! printf 'X-Slow: %d\r\n' "$i" >&"$fd" 2>/dev/null; then
        exec {fd}>&-
        open_slow
        fds[$i]=$fd
      fi
    done
    sleep 1
  done
}
hold_slow &
holder=$!
for _ in $(seq 1 300); do
  [ -s "$work/slow" ] && break
  sleep 0.1
done
[ -s "$work/slow" ] || echo "bench-server: not every slow connection opened in 30 s" >&2
run "home, $slow slow conns" "$home"
