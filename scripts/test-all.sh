#!/usr/bin/env bash
# Runs every test of the project on a Debian machine: installs what is
# missing, builds the native and the Windows build, runs the native suite and
# the fuzz targets for a bounded time, then the Windows suites (unit, Win32
# adapters, end-to-end) under Wine on an Xvfb display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${JOBS:-$(nproc)}"
# One locale for every run: Wine takes its code page from it, and the
# command lines handed to Wine programs carry Japanese in UTF-8.
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE

"$root/scripts/install-deps.sh"

echo "== native build (core, unit tests, benchmarks) =="
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DMORVANE_SANITIZE=ON -DMORVANE_BENCH=ON -DMORVANE_WERROR=ON >/dev/null
cmake --build build/native -j"$jobs"

echo "== Windows build (mingw-w64) =="
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release -DMORVANE_WERROR=ON >/dev/null
cmake --build build/win -j"$jobs"

status=0
echo "== native tests =="
(cd build/native && ctest --output-on-failure) || status=1

echo "== fuzzing (clang-14 libFuzzer, ${FUZZ_SECONDS:-20} s per target) =="
"$root/scripts/fuzz-all.sh" || status=1

echo "== Windows tests under Wine =="
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
# One persistent wineserver for the whole run, and the prefix's services and
# desktop started now: whatever a test's first Wine program starts inherits
# that test's output pipes and would keep ctest waiting for it.
morvane_wine_session
(cd build/win && ctest --output-on-failure) || status=1
exit "$status"
