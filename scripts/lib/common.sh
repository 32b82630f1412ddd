# Shared by the scripts: paths, a headless X server and a warm Wine.
# Source it; it defines functions and exports nothing until they run.

NUVSKIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
NUVSKIN_XVFB_PID=
NUVSKIN_DESKTOP_SIZE=1280x1024

say() { printf '%s\n' "$*" >&2; }

# Starts a private Xvfb on a free display and exports DISPLAY.
start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${NUVSKIN_DESKTOP_SIZE}x24" -nolisten tcp -noreset \
    3>"$fdfile" </dev/null >/dev/null 2>&1 &
  NUVSKIN_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    kill -0 "$NUVSKIN_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    rm -f "$fdfile"
    say "error: Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

stop_xvfb() {
  if [ -n "$NUVSKIN_XVFB_PID" ]; then
    kill "$NUVSKIN_XVFB_PID" 2>/dev/null || true
    wait "$NUVSKIN_XVFB_PID" 2>/dev/null || true
    NUVSKIN_XVFB_PID=
  fi
}

wine_env() {
  export WINEPREFIX="$NUVSKIN_ROOT/build/wine"
  export WINEDEBUG=-all
  export WINEARCH=win64
  # No Mono or Gecko install prompts.
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Creates the private prefix once: virtual desktop, Wine's own fonts.
init_wine_prefix() {
  wine_env
  local stamp="$WINEPREFIX/.nuvskin-ready"
  [ -f "$stamp" ] && return 0
  say "preparing the Wine prefix (once)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  timeout 300 "$WINE64" wineboot --init </dev/null >/dev/null 2>&1 || true
  timeout 60 "$WINESERVER" -w || true
  local reg
  reg=$(mktemp --suffix=.reg)
  # A virtual desktop: without a window manager the Win32 frame is not part
  # of the X window and destroying a top-level window costs seconds.
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$NUVSKIN_DESKTOP_SIZE"
REG
  timeout 120 "$WINE64" regedit /S "$reg" </dev/null >/dev/null 2>&1
  rm -f "$reg"
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  timeout 60 "$WINESERVER" -w || true
  [ -f "$WINEPREFIX/system.reg" ] || { say "error: wineboot failed"; return 1; }
  touch "$stamp"
}

# Starts a persistent wineserver and a desktop before any build or test runs,
# so that no Wine process ever holds CMake's or ctest's output pipes.
start_wine() {
  init_wine_prefix
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
  timeout 20 "$WINESERVER" -w >/dev/null 2>&1 || true
  setsid "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # A minimized program keeps the desktop process alive between tests.
  timeout 60 "$WINE64" start /min notepad.exe </dev/null >/dev/null 2>&1 || true
  local i
  for i in $(seq 1 100); do
    pgrep -f 'explorer.exe /desktop' >/dev/null && return 0
    sleep 0.1
  done
  say "warning: the Wine desktop did not come up"
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1 || true
  fi
}
