#!/usr/bin/env bash
# The client starts and shows its main window; under Xvfb the window is looked
# up by its title, offscreen the process must stay up.
set -u
bin="$1"
# Started from a working folder, the client stays in it.
kept() {
  [ ! -e "$HOME/.local/share/lintavo" ] || { echo "the client left its working folder"; exit 1; }
}
"$bin" >"$LINTAVO_TEST_WORK/client.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
for i in $(seq 1 200); do
  kill -0 $pid 2>/dev/null || { echo "client exited early"; cat "$LINTAVO_TEST_WORK/client.log"; exit 1; }
  if [ -n "${DISPLAY:-}" ]; then
    xwininfo -root -tree 2>/dev/null | grep -q '英语Lintavo' && { kept; echo "main window shown"; exit 0; }
  elif [ "$i" -ge 30 ]; then
    kept; echo "client running offscreen"; exit 0
  fi
  sleep 0.1
done
echo "no main window"; exit 1
