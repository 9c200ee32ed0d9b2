#!/usr/bin/env bash
# Source this file: it sets up the private Wine prefix the tests and the demo
# run in, creating it (with the Japanese font substitutes) when it is absent.
#   WINEPREFIX            defaults to <repo>/build/wineprefix
#   MORVANE_WINE_DESKTOP  the size of Wine's own desktop window, in which
#                         every program of the prefix runs with title bars
#                         and minimises as on Windows (an X server without a
#                         window manager does neither); "none" for programs
#                         in windows of their own on the user's display.
_morvane_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$_morvane_root/build/wineprefix}"
export WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"
MORVANE_WINE_DESKTOP="${MORVANE_WINE_DESKTOP:-1280x1024}"

morvane_wine_prefix() {
  if [ -f "$WINEPREFIX/.morvane-ready" ]; then
    morvane_wine_desktop
    return 0
  fi
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  # Japanese renders only through IPA fonts substituted for the MS ones.
  local reg="$WINEPREFIX/fonts-ja.reg"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"ＭＳ ゴシック"="IPAGothic"' '"MS Gothic"="IPAGothic"' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"MS PGothic"="IPAPGothic"' '"MS UI Gothic"="IPAPGothic"' '' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.morvane-ready"
  morvane_wine_desktop
}

# Applies MORVANE_WINE_DESKTOP to the prefix when it differs from what the
# prefix has.
morvane_wine_desktop() {
  local mark="$WINEPREFIX/.morvane-desktop"
  [ "$(cat "$mark" 2>/dev/null)" = "$MORVANE_WINE_DESKTOP" ] && return 0
  local reg="$WINEPREFIX/desktop.reg"
  if [ "$MORVANE_WINE_DESKTOP" = "none" ]; then
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"=-' ''
  else
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Default\"=\"$MORVANE_WINE_DESKTOP\"" ''
  fi | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
  wineserver -w
  printf '%s' "$MORVANE_WINE_DESKTOP" >"$mark"
}

# Starts a persistent wineserver and the prefix's services and desktop,
# detached from the caller's output.
morvane_wine_warm() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# The whole Wine session of a script: the prefix, a display and a warm
# wineserver, all stopped again when the script exits.
morvane_wine_session() {
  trap morvane_wine_end EXIT
  morvane_wine_prefix
  morvane_start_xvfb
  morvane_wine_warm
}

# Ends the session: the wineserver with every program of the prefix, and the display.
morvane_wine_end() {
  wineserver -k 2>/dev/null || true
  morvane_stop_xvfb
}

# Starts an Xvfb on a free display and exports DISPLAY, unless one is given.
# The caller stops it with morvane_stop_xvfb.
morvane_start_xvfb() {
  if [ -n "${MORVANE_XVFB_PID:-}" ]; then
    return 0
  fi
  local d
  for d in $(seq 91 140); do
    if [ ! -e "/tmp/.X${d}-lock" ] && [ ! -e "/tmp/.X11-unix/X${d}" ]; then
      Xvfb ":$d" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      MORVANE_XVFB_PID=$!
      export MORVANE_XVFB_PID
      export DISPLAY=":$d"
      local i
      for i in $(seq 1 100); do
        # Another session may have taken the display in between: the
        # display is ours when its lock names this Xvfb, and the next one is
        # tried when this Xvfb has ended.
        kill -0 "$MORVANE_XVFB_PID" 2>/dev/null || break
        if [ -e "/tmp/.X11-unix/X${d}" ] && [ "$(tr -d ' \n' <"/tmp/.X${d}-lock" 2>/dev/null)" = "$MORVANE_XVFB_PID" ]; then
          return 0
        fi
        sleep 0.1
      done
      wait "$MORVANE_XVFB_PID" 2>/dev/null || true
      unset MORVANE_XVFB_PID
    fi
  done
  echo "no free X display" >&2
  return 1
}

morvane_stop_xvfb() {
  if [ -n "${MORVANE_XVFB_PID:-}" ]; then
    kill "$MORVANE_XVFB_PID" 2>/dev/null || true
    wait "$MORVANE_XVFB_PID" 2>/dev/null || true
    unset MORVANE_XVFB_PID
  fi
}
