#!/usr/bin/env bash
# Builds the benchmarks and measures the waveform files against numpy on the same files.
set -euo pipefail
export BUILD_DIR="${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-bench}"
export BUILD_TYPE=Release
export CMAKE_ARGS="-DTARVELIN_BENCH=ON -DTARVELIN_TESTS=OFF"
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" python3-numpy python3-scipy time libqcustomplot-dev \
  libsamplerate0-dev python3-soundfile

export TARVELIN_BENCH_DIR="${TARVELIN_BENCH_DIR:-$(mktemp -d)}"
trap 'rm -rf "$TARVELIN_BENCH_DIR"' EXIT

"$build_dir/bench/files_bench" --benchmark_counters_tabular=true
echo
"$build_dir/bench/series_bench"
echo
echo "Transforms of 10 million samples:"
"$build_dir/bench/wave_bench"
echo
echo "Band-limited resampling, libsoxr beside libsamplerate:"
"$build_dir/bench/resampler_bench"
echo
echo "The same transforms and resampling in numpy and scipy:"
env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$root_dir/bench/numpy_wave.py"
echo
echo "The analysis above (Analyse/*) in numpy:"
env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$root_dir/bench/numpy_analyse.py"
echo
echo "Every word form written to a file, beside numpy writers of the same bytes:"
"$build_dir/bench/export_forms" "$TARVELIN_BENCH_DIR" |
  env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$root_dir/bench/numpy_forms.py" \
    "$TARVELIN_BENCH_DIR"
echo
echo "Banks: files of 256 x 2048, and the next frame at 256 x 65,536:"
"$build_dir/bench/bank_bench"
echo
echo "A whole-table step through the editor at 10 million samples:"
"$build_dir/bench/view_bench"
echo
echo "Repaint of a 1920 x 1080 chart beside QCustomPlot $(dpkg-query -W -f='${Version}' libqcustomplot-dev), median of 11 runs:"
"$build_dir/bench/repaint_bench"
echo
# Debian's numpy, not whatever python3 comes first on the PATH.
echo "numpy $(/usr/bin/python3 -c 'import numpy; print(numpy.__version__)'), best seconds:"
env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE /usr/bin/python3 "$root_dir/bench/numpy_files.py"
echo
echo "The first read in a fresh process, three times each, beside numpy's loadtxt likewise:"
for count in 1000000 10000000; do
  for run in 1 2 3; do
    "$build_dir/bench/read_peak" "$TARVELIN_BENCH_DIR/tarvelin-bench-$count.txt"
    /usr/bin/python3 -c "import time, numpy as np; t = time.perf_counter(); \
a = np.loadtxt('$TARVELIN_BENCH_DIR/tarvelin-bench-$count.txt'); \
print(f'numpy.loadtxt: {len(a)} samples in {(time.perf_counter() - t) * 1000:.1f} ms')"
  done
done
echo
file="$TARVELIN_BENCH_DIR/tarvelin-bench-10000000.txt"
echo "The first read of 10 M samples on a quiet machine, and beside one busy process:"
for run in 1 2 3; do
  echo "quiet: $("$build_dir/bench/read_peak" "$file")"
  bash -c 'while :; do :; done' &
  busy=$!
  sleep 0.2
  echo "busy:  $("$build_dir/bench/read_peak" "$file")"
  kill "$busy"
  wait "$busy" 2>/dev/null || true
done
echo
/usr/bin/time -f "reader peak memory on $(du -m "$file" | cut -f1) MB of text: %M KiB" \
  "$build_dir/bench/read_peak" "$file"
