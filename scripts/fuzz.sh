#!/usr/bin/env bash
# Builds the fuzzers with clang and libFuzzer (AddressSanitizer and UndefinedBehaviorSanitizer
# on) and runs each for the given number of seconds, starting from the kept corpus.
# Inputs that crash or hang are copied into tests/data/corpus/<target>/, where the regular
# tests replay them: fix the fault, then commit the input with the fix.
#   scripts/fuzz.sh [seconds per target, default 60] [targets...]
set -euo pipefail
seconds="${1:-60}"
shift || true
targets=("${@:-reader archive chart tickformat expression import wav table bank}")
read -r -a targets <<<"${targets[*]}"

export BUILD_DIR="${BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build-fuzz}"
export BUILD_TYPE=RelWithDebInfo
export CMAKE_ARGS="-DTARVELIN_FUZZ=ON -DTARVELIN_TESTS=OFF"
export CC=clang CXX=clang++
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" clang libclang-rt-14-dev

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" # Qt keeps caches for the life of the process
# The grown corpus stays in the build folder, so the next run starts where this one ended.
work="$build_dir/fuzz-corpus"
for target in "${targets[@]}"; do
  kept="$root_dir/tests/data/corpus/$target"
  rm -rf "$work/$target-findings"
  mkdir -p "$work/$target" "$work/$target-findings"
  echo "== $target: $seconds s"
  # -timeout: an input that takes longer than this is a hang. Leaks are not looked for: Qt
  # keeps caches for the life of the process.
  "$build_dir/tests/fuzz/fuzz_$target" "$work/$target" "$kept" -max_total_time="$seconds" \
    -timeout=10 -detect_leaks=0 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$work/$target-findings/" 2>&1 | grep -E '^(#[0-9]+[[:space:]]+DONE|stat::|==[0-9]+==|SUMMARY|Done)' || true
  for finding in "$work/$target-findings"/*; do
    [ -e "$finding" ] || continue
    cp "$finding" "$kept/"
    echo "FINDING kept as tests/data/corpus/$target/$(basename "$finding")"
  done
done
