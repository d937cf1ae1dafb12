#!/usr/bin/env bash
# Installs every Debian package the client, the reference service, the engine
# and the tests need. Idempotent and quiet: only missing packages are fetched.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git ca-certificates
  qtbase5-dev qtbase5-dev-tools qttools5-dev-tools qtmultimedia5-dev libqt5multimedia5-plugins
  qtwebengine5-dev libqt5svg5-dev libqt5opengl5-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-libav gstreamer1.0-pulseaudio libgstreamer1.0-dev libsoup2.4-1
  ffmpeg sox libsox-fmt-all espeak-ng
  flite festival festvox-kallpc16k festvox-kdlpc16k festvox-us-slt-hts
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us
  libqrencode-dev libpng-dev zbar-tools libcpp-httplib-dev libssl-dev libsqlite3-dev sqlite3 nlohmann-json3-dev
  wordnet-base wordnet desktop-file-utils
  xvfb xauth x11-utils imagemagick librsvg2-bin fonts-noto-cjk fontconfig
  pulseaudio pulseaudio-utils wrk procps curl python3 ccache
  clang libclang-rt-14-dev  # libFuzzer programs (scripts/fuzz.sh)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "setup: installing ${#missing[@]} packages: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
