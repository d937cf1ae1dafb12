#!/usr/bin/env bash
# Packs the client for Debian, unpacks the package into a scratch root and
# starts it from there like an installed program: a fresh user gets a
# prepared data folder, and the client stays up.
set -euo pipefail
build="$1"
work="$LINTAVO_TEST_WORK/pkg"
mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/*.deb | head -1)
[ -f "$deb" ] || fail "no package"
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

depends=$(dpkg-deb -f "$deb" Depends)
for dep in ffmpeg pocketsphinx-en-us gstreamer1.0-pulseaudio libqt5widgets5; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
app="$root/usr/lib/lintavo"
for f in lintavo upload qrcode; do
  [ -x "$app/$f" ] || fail "$f is not installed beside the client"
done
[ "$(readlink -f "$root/usr/bin/lintavo")" = "$(readlink -f "$app/lintavo")" ] || fail "bin/lintavo link"
[ -f "$root/usr/share/applications/lintavo.desktop" ] || fail "menu entry"
[ -f "$root/usr/share/icons/hicolor/scalable/apps/lintavo.svg" ] || fail "icon"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/lintavo.desktop" || fail "menu entry invalid"
fi
# Libraries of our own come from the package, not from the build tree.
if ldd "$app/lintavo" | grep -q "$build"; then fail "the client loads libraries from the build tree"; fi
if ldd "$app/lintavo" | grep -q 'not found'; then ldd "$app/lintavo" >&2; fail "missing libraries"; fi

# A new user, started from a folder that is not a working folder.
home="$work/home"; mkdir -p "$home" "$work/elsewhere"
cd "$work/elsewhere"
HOME="$home" XDG_DATA_HOME="" "$root/usr/bin/lintavo" >"$work/client.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
data="$home/.local/share/lintavo"
for _ in $(seq 1 100); do
  [ -f "$data/.lintavo-workdir" ] && break
  kill -0 $pid 2>/dev/null || { cat "$work/client.log" >&2; fail "client exited"; }
  sleep 0.1
done
[ -f "$data/.lintavo-workdir" ] || fail "no data folder prepared in $data"
sleep 3
kill -0 $pid 2>/dev/null || { cat "$work/client.log" >&2; fail "client exited"; }
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the client wrote into the folder it was started from"
echo "installed client runs; its data folder is $data"
