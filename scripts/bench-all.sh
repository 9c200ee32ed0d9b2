#!/usr/bin/env bash
# Runs every benchmark and prints one table: the native ones (Google
# Benchmark, Release, no sanitizers; each beside its literal algorithm), then
# Acquire through the stand-in CAD under Wine for growing selections, with
# calls and milliseconds per entity and the memory peak of morvane.exe,
# beside the round trip of one call that costs the CAD nothing.
# Writes build/bench-results/ (raw JSON, the table as Markdown, the plot).
#
#   scripts/bench-all.sh [--sizes 500,2000,5000,10000] [--native-only|--acquire-only]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${JOBS:-$(nproc)}"
export LANG=C.UTF-8
unset LC_ALL LC_CTYPE LANGUAGE
sizes="500,2000,5000,10000"
native=1
acquire=1
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes="$2"; shift 2 ;;
    --native-only) acquire=0; shift ;;
    --acquire-only) native=0; shift ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
  esac
done
out="$root/build/bench-results"
mkdir -p "$out"
# Debian's python3 has python3-ezdxf and python3-matplotlib.
py=/usr/bin/python3

if [ "$native" = 1 ]; then
  echo "== native benchmarks (Release) ==" >&2
  cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DMORVANE_SANITIZE=OFF -DMORVANE_BENCH=ON >/dev/null
  cmake --build build/bench -j"$jobs" --target morvane_bench >&2
  build/bench/bench/morvane_bench --benchmark_format=json --benchmark_out="$out/native.json" \
    --benchmark_out_format=json >/dev/null
fi

if [ "$acquire" = 1 ]; then
  echo "== Acquire under Wine ==" >&2
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/win -j"$jobs" --target morvane standin_cad e2e_driver cad_round_trip >&2
  # shellcheck source=wine-env.sh
  source "$root/scripts/wine-env.sh"
  morvane_wine_session
  "$py" bench/acquire_load.py --build build/win --source . --sizes "$sizes" --out "$out" >&2
fi

"$py" bench/report.py "$out"
