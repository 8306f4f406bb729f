#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build directory and runs
# each for a bounded time on a copy of its seed corpus; fails on any crash or
# broken property. Usage: tools/fuzz.sh <build-dir> <seconds>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
usage="usage: tools/fuzz.sh <build-dir> <seconds>"
build="${1:?$usage}"
seconds="${2:?$usage}"
targets=(image_decode settings_load log_read history_read)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON -DVANTREL_TESTS=ON
cmake --build "$build" -j "${FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}" fuzz_write_seeds

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
# The settings and history readers parse with wxFileConfig, some thirty
# allocations a line; under ASan each allocation first records the stack it
# came from, a fifth of those fuzzers' time. Reports then name where the bad
# access happened but not where its memory was allocated or freed: run the
# input in artifacts/ again without ASAN_OPTIONS for those stacks.
export ASAN_OPTIONS="malloc_context_size=0:${ASAN_OPTIONS:-}"
# The files a fuzzer writes (the history fuzzer a folder per input) go to
# memory where there is a tmpfs: on a disk they took half of its time.
scratch="$(mktemp -d /dev/shm/vantrel-fuzz.XXXXXX 2>/dev/null || mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"

status=0
for name in "${targets[@]}"; do
  work="$build/fuzz-work/$name"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp "$root/tests/fuzz/corpus/$name/"* "$work/corpus/"
  # An input that takes 10 s is a hang.
  args=(-max_total_time="$seconds" -timeout=10 -artifact_prefix="$work/artifacts/" -print_final_stats=1)
  if [ -f "$root/tests/fuzz/$name.dict" ]; then
    args+=(-dict="$root/tests/fuzz/$name.dict")
  fi
  if [ -f "$root/tests/fuzz/$name.flags" ]; then
    mapfile -t flags < <(grep -v '^#' "$root/tests/fuzz/$name.flags")
    args+=("${flags[@]}")
  fi
  echo "== fuzz_$name for $seconds s"
  if "$build/tests/fuzz/fuzz_$name" "${args[@]}" "$work/corpus" > "$work/log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|^Done ' "$work/log" || true
  else
    echo "fuzz_$name FAILED; log: $work/log, inputs: $work/artifacts/"
    tail -n 40 "$work/log"
    status=1
  fi
done
exit $status
