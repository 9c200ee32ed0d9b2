#!/usr/bin/env bash
# Takes the user guide's pictures again from the program itself: builds the
# Windows programs, replays one session of the end-to-end scenarios on an
# Xvfb display in the private Wine prefix and writes docs/img/*.png, each
# cropped to the window it shows and under 150 KB.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export LANG=C.UTF-8
"$root/scripts/install-deps.sh"
if [ ! -f build/win/CMakeCache.txt ]; then
  cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_WERROR=ON >/dev/null
fi
cmake --build build/win -j"${JOBS:-$(nproc)}" --target morvane standin_cad e2e_driver
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_wine_prefix
# The scenario starts its own Xvfb and ends it with the prefix's programs.
unset DISPLAY
# ezdxf, which the scenario helpers load, belongs to the system's interpreter.
/usr/bin/python3 "$root/scripts/guide_screenshots.py" --build "$root/build/win" --source "$root"
