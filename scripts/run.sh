#!/usr/bin/env bash
# Sets the machine up, builds, starts the reference service on its default
# port (data kept in run/server-data) and opens the client in run/client.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
bin=${LINTAVO_BUILD_DIR:-$root/build}/bin
port=${LINTAVO_PORT:-8642}
mkdir -p "$root/run/server-data" "$root/run/client"
# The client works in run/client instead of the per-user data folder.
touch "$root/run/client/.lintavo-workdir"
server_pid=""
if ! curl -s -o /dev/null "http://127.0.0.1:$port/"; then
  "$bin/lintavo-server" --port "$port" --data "$root/run/server-data" --test-endpoints &
  server_pid=$!
  trap '[ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null' EXIT
  for _ in $(seq 1 1200); do
    curl -s -o /dev/null "http://127.0.0.1:$port/" && break
    sleep 0.25
  done
fi
export LINTAVO_API_ORIGIN="http://127.0.0.1:$port" LINTAVO_DICT_ORIGIN="http://127.0.0.1:$port" \
       LINTAVO_WEB_ORIGIN="http://127.0.0.1:$port"
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
echo "service: http://127.0.0.1:$port (its data: $root/run/server-data; accounts: server/README.md)"
echo "client working folder: $root/run/client (recordings, mixes, downloads)"
cd "$root/run/client"
"$bin/lintavo"
