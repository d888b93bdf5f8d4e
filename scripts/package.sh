#!/usr/bin/env bash
# Builds Tarvelin for release and makes its Debian package; the package's path is the last
# line printed. Install it with: sudo apt install ./tarvelin_*.deb
set -euo pipefail
export BUILD_DIR="${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-package}"
export BUILD_TYPE=Release
export CMAKE_ARGS="-DTARVELIN_TESTS=OFF"
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" dpkg-dev file
(cd "$build_dir" && cpack -G DEB >&2)
ls -1 "$build_dir"/tarvelin_*_amd64.deb | tail -n 1
