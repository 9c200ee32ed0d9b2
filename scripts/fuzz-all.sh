#!/usr/bin/env bash
# Builds the fuzz targets (clang-14, libFuzzer, ASan, UBSan) in build/fuzz and
# runs each for a bounded time from its seed corpus in fuzz/corpus/, as many
# at a time as there are cores (JOBS). A crash,
# a leak, a broken invariant or an allocation over the limit fails the run and
# leaves the input in build/fuzz/artifacts/. Prints the executions and the
# coverage (libFuzzer's cov and ft) each target reached.
#   FUZZ_SECONDS  time per target (default 20)
#   FUZZ_TARGETS  which targets (default: all five)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${FUZZ_SECONDS:-20}"
targets=(${FUZZ_TARGETS:-paste settings dxf variant mtext})
jobs="${JOBS:-$(nproc)}"

cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build/fuzz -j"$jobs" --target $(printf '%s_fuzzer ' "${targets[@]}") >/dev/null

mkdir -p build/fuzz/artifacts
# One target's run: a fresh working corpus each time (the seeds stay as
# committed); its result in build/fuzz/<target>.status.
fuzz_one() {
  local t="$1" work="build/fuzz/corpus/$1" log="build/fuzz/$1.log"
  rm -rf "$work" "build/fuzz/$t.status"
  mkdir -p "$work"
  cp fuzz/corpus/"$t"/* "$work"/
  if "build/fuzz/${t}_fuzzer" "$work" -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=512 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$t-" >"$log" 2>&1; then
    echo 0 >"build/fuzz/$t.status"
  else
    echo 1 >"build/fuzz/$t.status"
  fi
}

# As many targets at a time as there are cores: each runs on one.
running=0
for t in "${targets[@]}"; do
  echo "-- $t: ${seconds} s"
  fuzz_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

status=0
summary=()
for t in "${targets[@]}"; do
  log="build/fuzz/$t.log"
  if [ "$(cat "build/fuzz/$t.status" 2>/dev/null)" != 0 ]; then
    status=1
    grep -E "ERROR|runtime error|invariant|SUMMARY|Test unit written" "$log" | head -20 || true
    echo "   $t FAILED (log: $log)"
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  cov="$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]*' | tail -1 | cut -d' ' -f2)"
  ft="$(grep -E '^#[0-9]+' "$log" | grep -o 'ft: [0-9]*' | tail -1 | cut -d' ' -f2)"
  summary+=("$(printf '%-9s %10s %7s %7s' "$t" "${runs:-?}" "${cov:-?}" "${ft:-?}")")
done
printf '%-9s %10s %7s %7s\n' target executions cov ft
printf '%s\n' "${summary[@]}"
exit "$status"
