#!/usr/bin/env bash
# Morvane's main job on Linux: builds morvane.exe and the stand-in CAD, starts
# the stand-in with a sample table and Morvane beside it under Wine.
#   ./scripts/run-morvane.sh [DRAWING.dxf]
# With a display (DISPLAY set and reachable) both windows open there and the
# script waits until Morvane is closed. Without one, it plays a short scripted
# session (Acquire of the sample table) on an Xvfb display and leaves the
# screenshots and the log in build/demo/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
drawing="$(realpath "${1:-samples/parts_list.dxf}")"

"$root/scripts/install-deps.sh"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target morvane standin_cad e2e_driver

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  # On the user's display each program gets a window of its own.
  export WINEPREFIX="$root/build/wineprefix-display" MORVANE_WINE_DESKTOP=none
  # shellcheck source=wine-env.sh
  source "$root/scripts/wine-env.sh"
  morvane_wine_prefix
  trap 'wineserver -k 2>/dev/null || true' EXIT
  mkdir -p build/demo
  cp build/win/src/app/win32/morvane.exe build/demo/morvane.exe
  wine build/win/tools/standin-cad/win32/standin-cad.exe "$drawing" >build/demo/standin-cad.log 2>&1 &
  wine build/win/tests/e2e/e2e_driver.exe wait-window "nanoCAD 5" 30000 >/dev/null
  echo "stand-in CAD is up with $drawing; starting Morvane"
  (cd build/demo && wine ./morvane.exe)
  exit 0
fi

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_wine_prefix
unset DISPLAY
exec python3 "$root/scripts/demo_session.py" --build "$root/build/win" --source "$root" --drawing "$drawing"
