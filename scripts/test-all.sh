#!/usr/bin/env bash
# Runs every test of the project on a Debian machine: installs what is
# missing, builds the native and the Windows build, runs the native suite and
# the fuzz targets for a bounded time, then the Windows suites (unit, Win32
# adapters, end-to-end) under Wine on an Xvfb display. Ends with a table of
# the time each stage took and the Wine tests that hung once and passed when
# run again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${JOBS:-$(nproc)}"
# One locale for every run: Wine takes its code page from it, and the
# command lines handed to Wine programs carry Japanese in UTF-8.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE

stage_rows=()
run_started=$EPOCHREALTIME
# stage NAME COMMAND...: runs the command and notes how long it took.
stage() {
  local name="$1" started=$EPOCHREALTIME rc=0
  shift
  "$@" || rc=$?
  stage_rows+=("$(awk -v a="$started" -v b="$EPOCHREALTIME" -v n="$name" -v rc="$rc" \
    'BEGIN { printf "%-44s %8.1f%s", n, b - a, rc == 0 ? "" : "  FAILED" }')")
  return "$rc"
}

# The table of stage times (the Wine entries as CTest timed them), and the
# reruns the guard made.
finish() {
  local log=build/win/ctest-wine.log reruns=build/win/wine-reruns.txt
  echo
  echo "== time per stage (s) =="
  printf '%s\n' "${stage_rows[@]}"
  if [ -f "$log" ]; then
    awk '/^ *[0-9]+\/[0-9]+ +Test +#[0-9]+: / {
      for (i = 1; i <= NF; i++) if ($i ~ /^#[0-9]+:$/) name = $(i + 1)
      result = $0; sub(/^.*\.\.\.+ */, "", result); sub(/ +[0-9.]+ sec$/, "", result)
      printf "  %-42s %8.1f%s\n", name, $(NF - 1), result == "Passed" ? "" : "  " result }' "$log"
  fi
  awk -v a="$run_started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%-44s %8.1f\n", "whole run", b - a }'
  if [ -s "$reruns" ]; then
    echo "== Wine tests that hung and ran again: $(wc -l <"$reruns") =="
    cat "$reruns"
  else
    echo "== no Wine test hung =="
  fi
}
trap finish EXIT

# The Wine suites one after another (they share the wineserver, the desktop
# and the clipboard), their lines kept for the table.
wine_tests() {
  ctest --test-dir build/win --output-on-failure | tee build/win/ctest-wine.log
}

stage "installs" "$root/scripts/install-deps.sh"

echo "== native build (core, unit tests, benchmarks) =="
stage "native configure" cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON -DMORVANE_BENCH=ON \
  -DMORVANE_WERROR=ON >/dev/null
stage "native build" cmake --build build/native -j"$jobs"

echo "== Windows build (mingw-w64) =="
stage "Windows configure" cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DMORVANE_WERROR=ON >/dev/null
stage "Windows build" cmake --build build/win -j"$jobs"
# What a user receives, from the Release build just made; the package test
# under Wine unpacks and runs it.
stage "package" "$root/scripts/package.sh" --build build/win

status=0
echo "== native tests =="
stage "native tests" ctest --test-dir build/native -j"$jobs" --output-on-failure || status=1

echo "== fuzzing (clang-14 libFuzzer, ${FUZZ_SECONDS:-20} s per target) =="
stage "fuzzing (build and runs)" "$root/scripts/fuzz-all.sh" || status=1

echo "== Windows tests under Wine =="
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
# One persistent wineserver for the whole run, and the prefix's services and
# desktop started now: whatever a test's first Wine program starts inherits
# that test's output pipes and would keep ctest waiting for it.
stage "Wine session (prefix, display)" morvane_wine_session
trap 'morvane_wine_end; finish' EXIT
rm -f build/win/wine-reruns.txt
stage "Wine tests" wine_tests || status=1
exit "$status"
