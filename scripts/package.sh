#!/usr/bin/env bash
# Builds what a user receives: build/dist/morvane-<version>-win64.zip with the
# Release morvane.exe (stripped, static), the Japanese guide as HTML with its
# pictures, LICENSE and THIRD-PARTY.txt.
#   ./scripts/package.sh [--build DIR] [--out DIR]
# --build: the mingw-w64 Release build to use (default build/win); it is
#          configured when it has no cache yet, and only morvane is built.
# --out:   where the zip goes (default build/dist).
# Fails when the executable imports a DLL that Windows does not carry, or
# contains a runtime library that THIRD-PARTY.txt does not name.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export LANG=C.UTF-8
build="$root/build/win"
out="$root/build/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$(realpath -m "$2")"; shift 2 ;;
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done

fail() { echo "package: $*" >&2; exit 1; }

"$root/scripts/install-deps.sh"

version="$(sed -n 's/^#define MORVANE_VERSION "\(.*\)"$/\1/p' src/app/version.h)"
[ -n "$version" ] || fail "no MORVANE_VERSION in src/app/version.h"

# A build of another type would ship a Debug executable under a Release name.
if [ -f "$build/CMakeCache.txt" ]; then
  type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")"
  [ "$type" = "Release" ] || fail "$build is a $type build; give a Release one with --build"
else
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_WERROR=ON >/dev/null
fi
cmake --build "$build" --target morvane -j"${JOBS:-$(nproc)}"
exe="$build/src/app/win32/morvane.exe"
[ -f "$exe" ] || fail "$exe was not built"

# The DLLs every Windows PC carries, in upper case. Anything else would have
# to be shipped beside the exe, and the package ships nothing beside it.
allowed_dlls=(KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL OLE32.DLL OLEAUT32.DLL COMCTL32.DLL COMDLG32.DLL
              SHELL32.DLL SHLWAPI.DLL SHCORE.DLL IMM32.DLL UXTHEME.DLL VERSION.DLL WINMM.DLL MSVCRT.DLL
              UCRTBASE.DLL)
imports=()
while read -r dll; do
  imports+=("$dll")
  upper="${dll^^}"
  case " ${allowed_dlls[*]} " in
    *" $upper "*) ;;
    *) [[ "$upper" == API-MS-WIN-CRT-* ]] || fail "morvane.exe imports $dll, which Windows does not carry" ;;
  esac
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -f)
[ "${#imports[@]}" -gt 0 ] || fail "no imports read from $exe"

# What the executable really contains from others must be named in
# THIRD-PARTY.txt (read from the symbols before they are stripped).
symbols="$(x86_64-w64-mingw32-nm "$exe")"
contains() { grep -Eq "$1" <<<"$symbols"; }
names() { grep -q "$1" THIRD-PARTY.txt || fail "morvane.exe contains $1, which THIRD-PARTY.txt does not name"; }
contains ' T pthread_' && names winpthreads
contains ' T __gdtoa$' && names gdtoa
contains '__gxx_personality' && names libstdc++
contains '_Unwind_' && names libgcc

# The commit's time stands for every time the package holds (the files' and
# the stripped executable's header), so that the same inputs give the same zip.
epoch="$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
top="morvane-$version"
mkdir -p "$stage/$top/img"
SOURCE_DATE_EPOCH="$epoch" x86_64-w64-mingw32-strip --strip-all -o "$stage/$top/morvane.exe" "$exe"
cp LICENSE THIRD-PARTY.txt "$stage/$top/"
cp docs/img/*.png "$stage/$top/img/"
# Debian's python3-markdown belongs to the system's interpreter.
/usr/bin/python3 "$root/scripts/guide_html.py" docs/guide-ja.md "$stage/$top/guide-ja.html" "Morvane $version"

# Sorted names, no extra attributes (owners, Unix times), no directory entries.
find "$stage" -exec touch -h -d "@$epoch" {} +
mkdir -p "$out"
zip_path="$out/morvane-$version-win64.zip"
rm -f "$zip_path"
(cd "$stage" && find "$top" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D "$zip_path" -@)

echo "package: $zip_path ($(stat -c %s "$zip_path") bytes)"
echo "package: morvane.exe imports ${imports[*]}"
unzip -l "$zip_path"
