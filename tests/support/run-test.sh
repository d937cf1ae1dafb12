#!/usr/bin/env bash
# Runs one test program with the services it asks for, each private to this
# run and stopped on exit:
#   --server BIN   reference service on a free loopback port (LINTAVO_*_ORIGIN set),
#                  with its /test/ endpoints
#   --pulse        PulseAudio with a null sink whose monitor is the default source
#   --xvfb         Xvfb on a free display (otherwise QT_QPA_PLATFORM=offscreen)
#   --media DIR    shared cache of the service's generated media
#   --stacks-after S  a test still running after S seconds (close to its time-out)
#                  prints every thread's stack, so a hang says where it hangs
set -u
server="" pulse=0 xvfb=0 media="" stacks_after=""
while [ $# -gt 0 ]; do
  case "$1" in
    --server) server="$2"; shift 2 ;;
    --pulse) pulse=1; shift ;;
    --xvfb) xvfb=1; shift ;;
    --media) media="$2"; shift 2 ;;
    --stacks-after) stacks_after="$2"; shift 2 ;;
    --) shift; break ;;
    *) echo "run-test: unknown option $1" >&2; exit 2 ;;
  esac
done

work=$(mktemp -d /tmp/lintavo-test.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  if [ "$pulse" = 1 ]; then pulseaudio --kill 2>/dev/null; fi
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

export XDG_RUNTIME_DIR="$work/xdg"; mkdir -m 700 -p "$XDG_RUNTIME_DIR"
export HOME="$work/home"; mkdir -p "$HOME"
export LINTAVO_TEST_WORK="$work"
# GStreamer's plugin registry and font caches are shared between tests: each
# test has a fresh HOME, and rebuilding them costs seconds per test.
if [ -n "$media" ]; then
  cache="$(dirname "$media")/test-cache"; mkdir -p "$cache"
  export GST_REGISTRY_1_0="$cache/gst-registry.bin" XDG_CACHE_HOME="$cache/xdg"
fi
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox"

if [ -n "$server" ]; then
  mkdir -p "$media"
  log="$work/server.log"
  # The first start generates the shared media; others wait for it.
  exec 9>"$media.lock"; flock 9
  "$server" --port 0 --data "$work/server-data" --media "$media" --test-endpoints \
    >"$work/server.out" 2>"$log" &
  pids+=($!)
  port=""
  for _ in $(seq 1 1800); do
    port=$(sed -n 's#^listening on http://127\.0\.0\.1:\([0-9]*\).*#\1#p' "$work/server.out" | head -1)
    [ -n "$port" ] && break
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  flock -u 9
  if [ -z "$port" ]; then echo "run-test: the reference service did not start" >&2; cat "$log" >&2; exit 1; fi
  origin="http://127.0.0.1:$port"
  export LINTAVO_API_ORIGIN="$origin" LINTAVO_DICT_ORIGIN="$origin" LINTAVO_WEB_ORIGIN="$origin"
  export LINTAVO_SERVER_LOG="$log"
fi

if [ "$pulse" = 1 ]; then
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
  pulseaudio -D -n --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-native-protocol-unix" 2>"$work/pulse.log" || { cat "$work/pulse.log" >&2; exit 1; }
  for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl set-default-sink nullsink
  pactl set-default-source nullsink.monitor
fi

if [ "$xvfb" = 1 ]; then
  # Xvfb picks a free display itself and reports it once it accepts clients,
  # so parallel tests never share or race for one.
  Xvfb -displayfd 8 -screen 0 1600x1000x24 -nolisten tcp 8>"$work/xvfb.display" 2>"$work/xvfb.log" &
  pids+=($!)
  display=""
  for _ in $(seq 1 100); do
    n=$(tr -dc '0-9' <"$work/xvfb.display" 2>/dev/null)
    [ -n "$n" ] && { display=":$n"; break; }
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$display" ] || { echo "run-test: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY="$display"
  unset QT_QPA_PLATFORM
else
  export QT_QPA_PLATFORM=offscreen
fi

cd "$work" && mkdir -p run && cd run
# The client works here, not in the per-user data folder.
touch .lintavo-workdir
ulimit -c unlimited 2>/dev/null # a crash leaves its core here, for the stacks below
"$@" &
test_pid=$!
pids+=("$test_pid") # ended with the rest when ctest ends this run
if [ -n "$stacks_after" ]; then
  # Its sleeps hold none of ctest's pipes: killed with the test's end, the
  # watcher keeps nobody waiting.
  (
    for _ in $(seq 1 "$stacks_after"); do
      sleep 1 </dev/null >/dev/null 2>&1
      kill -0 "$test_pid" 2>/dev/null || exit 0
    done
    echo "run-test: still running after $stacks_after s; its threads:" >&2
    gdb -p "$test_pid" -batch -ex "thread apply all bt" >&2 2>&1 || true
  ) &
  watchdog=$!
fi
wait "$test_pid"
rc=$?
if [ -n "$stacks_after" ]; then kill "$watchdog" 2>/dev/null; wait "$watchdog" 2>/dev/null; fi
# ctest sees only this script's status: say when the test itself was killed.
if [ $rc -gt 128 ]; then
  echo "run-test: the test ended by signal $((rc - 128))" >&2
  for core in core "core.$test_pid"; do
    if [ -f "$core" ]; then gdb -batch -ex "thread apply all bt" "$1" "$core" >&2 2>&1 || true; fi
  done
fi
if [ $rc -ne 0 ] && [ -n "$server" ]; then
  echo "--- last lines of the service log ---" >&2; tail -20 "$log" >&2
elif [ -n "$server" ] && grep -q "runtime error:" "$log"; then
  # A sanitizer report of the service goes where the sanitizer run looks for one.
  grep -A20 "runtime error:" "$log" >&2
fi
exit $rc
