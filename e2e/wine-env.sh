# Sourced by scripts/run.sh and scripts/test.sh: a private Wine prefix and, when
# needed, a virtual X display for one run, both in a temporary folder that is
# removed again at exit.
#
#   horalis_wine_start [--own-display]   prefix + display (Xvfb when DISPLAY is unset or --own-display)
#   horalis_wine PROGRAM.exe ARGS...     run a Windows program in the prefix
#   horalis_wine_copy_prefix DEST        a copy of the prepared prefix, for a test group of its own
#   horalis_wine_stop                    end the prefix's processes and Xvfb, delete the folder (runs at exit)

HORALIS_WINE_BIN=/usr/lib/wine/wine64        # Debian ships only the 64-bit loader, off PATH
HORALIS_WINESERVER_BIN=/usr/lib/wine/wineserver
HORALIS_WINE_DIR=""
HORALIS_XVFB_PID=""

horalis_wine() { "$HORALIS_WINE_BIN" "$@"; }

_horalis_now() { date +%s.%N; }

_horalis_start_xvfb() {
  local display_file="$HORALIS_WINE_DIR/display" deadline
  # -displayfd lets Xvfb pick a free display number itself and report it when ready.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" >"$HORALIS_WINE_DIR/xvfb.log" 2>&1 &
  HORALIS_XVFB_PID=$!
  deadline=$((SECONDS + 15))
  until [[ -s $display_file ]]; do
    if ! kill -0 "$HORALIS_XVFB_PID" 2>/dev/null || ((SECONDS > deadline)); then
      echo "wine-env: Xvfb did not start:" >&2
      cat "$HORALIS_WINE_DIR/xvfb.log" >&2
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"
}

horalis_wine_start() {
  local own_display=0 started
  [[ ${1:-} == --own-display ]] && own_display=1
  started=$(_horalis_now)
  HORALIS_WINE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/horalis-wine.XXXXXX")
  trap horalis_wine_stop EXIT
  trap 'horalis_wine_stop; exit 130' INT TERM

  if ((own_display)) || [[ -z ${DISPLAY:-} ]]; then
    _horalis_start_xvfb || return 1
  fi

  # Wine wants a home folder even with an explicit prefix.
  [[ -n ${HOME:-} ]] || export HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
  export WINEPREFIX="$HORALIS_WINE_DIR/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No Mono or Gecko download prompts: the program needs neither.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The prefix's own user folders, not the caller's.
  unset APPDATA LOCALAPPDATA USERPROFILE

  horalis_wine wineboot --init >"$HORALIS_WINE_DIR/wineboot.log" 2>&1 || {
    echo "wine-env: wineboot failed:" >&2; cat "$HORALIS_WINE_DIR/wineboot.log" >&2; return 1; }
  # Without these, caption buttons and dialogs render with fallback glyphs.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  # Without a window manager, hiding or destroying a top-level window stalls its
  # thread for about 2 s; unmanaged windows close at once and get Wine's own frames.
  horalis_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  HORALIS_WINE_SETUP_SECONDS=$(awk -v a="$started" -v b="$(_horalis_now)" 'BEGIN { printf "%.1f", b - a }')
  echo "wine-env: prefix ready in ${HORALIS_WINE_SETUP_SECONDS} s (DISPLAY=$DISPLAY)"
}

horalis_wine_copy_prefix() {
  # The registry reaches the disk only when the prefix's wineserver ends.
  "$HORALIS_WINESERVER_BIN" -w
  cp -a "$WINEPREFIX" "$1"
}

horalis_wine_stop() {
  if [[ -n ${WINEPREFIX:-} && -d ${WINEPREFIX:-} ]]; then
    "$HORALIS_WINESERVER_BIN" -k 2>/dev/null || true
  fi
  if [[ -n $HORALIS_XVFB_PID ]]; then
    kill "$HORALIS_XVFB_PID" 2>/dev/null || true
    HORALIS_XVFB_PID=""
  fi
  if [[ -n $HORALIS_WINE_DIR ]]; then
    rm -rf "$HORALIS_WINE_DIR"
    HORALIS_WINE_DIR=""
  fi
}
