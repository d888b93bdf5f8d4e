#!/usr/bin/env bash
# Installs what the build needs (only what is missing), then configures and builds.
# Sourced by run.sh and test.sh; BUILD_DIR and BUILD_TYPE may be set by the caller.
set -euo pipefail

root_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root_dir/build}"
build_type="${BUILD_TYPE:-RelWithDebInfo}"

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libx11-dev libmuparser-dev libsoxr-dev libsndfile1-dev
  libgtest-dev libgmock-dev libgmp-dev libbenchmark-dev fonts-liberation2 fontconfig libfftw3-dev qt6-multimedia-dev help2man man-db python3-numpy
  srecord iverilog ghdl rustc pulseaudio pulseaudio-utils btrfs-progs bindfs desktop-file-utils appstream dpkg-dev file lintian
  python3-soundfile sndfile-programs libimage-exiftool-perl
  "$@")

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir"
