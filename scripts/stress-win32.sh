#!/usr/bin/env bash
# Runs the Win32 suite (or the part given by --filter) many times in a row
# under Wine while busy loops load the machine, and counts the runs that
# passed, failed and hung. A run that outlives --timeout counts as hung: the
# Wine backtraces of every process of the prefix are written beside its log,
# then the prefix's processes are ended and the wineserver is started afresh,
# so that a hung stand-in's class registration does not fail the next run.
#
#   scripts/stress-win32.sh [--runs 30] [--timeout 300] [--load 2]
#                           [--filter 'StandinCad*:Acquire*'] [--build build/win]
#                           [--out DIR]
#
# The Windows build must exist (--build, build/win by default). The Wine
# prefix is WINEPREFIX's, as for the other scripts: two runs side by side
# need two. Logs go to --out (build/stress-win32 by default); the last line
# is the tally.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE

runs=30
timeout=300
load=2
filter='*'
out="$root/build/stress-win32"
build="$root/build/win"
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --load) load="$2"; shift 2 ;;
    --filter) filter="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
exe="$build/tests/win32/morvane_win32_tests.exe"
if [ ! -f "$exe" ]; then
  echo "no $exe: build the Windows build first" >&2
  exit 2
fi
mkdir -p "$out"

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"

load_pids=()
stop_load() {
  local p
  for p in "${load_pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  load_pids=()
}
morvane_wine_session
# The session's own trap ends the wineserver and the display; the load goes first.
trap 'stop_load; wineserver -k 2>/dev/null || true; morvane_stop_xvfb' EXIT
for _ in $(seq 1 "$load"); do
  yes >/dev/null &
  load_pids+=("$!")
done

# Every thread of every Wine process of the prefix (winedbg's "backtrace
# all" walks them all, whichever process it is started on), for the hung
# run's notes; under load it takes minutes.
backtraces() {
  timeout 600 wine winedbg --command "backtrace all" 2>&1 | tr -d '\r' || true
}

passed=0
failed=0
hung=0
for i in $(seq 1 "$runs"); do
  log="$out/run-$i.log"
  start=$(date +%s)
  wine "$exe" --gtest_brief=1 "--gtest_filter=$filter" >"$log" 2>&1 &
  test_pid=$!
  deadline=$((start + timeout))
  while kill -0 "$test_pid" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do
    sleep 1
  done
  if kill -0 "$test_pid" 2>/dev/null; then
    backtraces >"$out/run-$i.backtraces" 2>&1 || true
    kill "$test_pid" 2>/dev/null || true
    wait "$test_pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    morvane_wine_warm
    hung=$((hung + 1))
    verdict=hung
  elif wait "$test_pid"; then
    passed=$((passed + 1))
    verdict=passed
  else
    failed=$((failed + 1))
    verdict=failed
  fi
  printf 'run %2d: %-6s %4d s\n' "$i" "$verdict" "$(($(date +%s) - start))" | tee -a "$out/summary.txt"
done
stop_load
printf 'runs %d, passed %d, failed %d, hung %d (filter %s, load %d, timeout %d s)\n' \
  "$runs" "$passed" "$failed" "$hung" "$filter" "$load" "$timeout" | tee -a "$out/summary.txt"
