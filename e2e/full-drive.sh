# Sourced after e2e/wine-env.sh, once the prefix is ready: a small tmpfs mapped
# to a drive letter of the prefix, which the full-disk cases fill to the last
# byte. Mounting needs root (CI runs as root); without it those cases skip.
#
#   horalis_full_drive_start [LETTER]   mount, map, export HORALIS_FULL_DRIVE (default R:)
#   horalis_full_drive_stop             unmap and unmount (also at exit)

HORALIS_FULL_DRIVE_DIR=""
HORALIS_FULL_DRIVE_LINK=""

horalis_full_drive_start() {
  local letter=${1:-r} sudo=()
  ((EUID == 0)) || sudo=(sudo -n)
  HORALIS_FULL_DRIVE_DIR=$(mktemp -d "${TMPDIR:-/tmp}/horalis-full-drive.XXXXXX")
  if ! "${sudo[@]}" mount -t tmpfs -o size=2m,mode=0777 horalis-full "$HORALIS_FULL_DRIVE_DIR" 2>/dev/null; then
    echo "full-drive: cannot mount a small tmpfs here; the full-disk cases will skip" >&2
    rmdir "$HORALIS_FULL_DRIVE_DIR"
    HORALIS_FULL_DRIVE_DIR=""
    return 0
  fi
  HORALIS_FULL_DRIVE_LINK="$WINEPREFIX/dosdevices/${letter,,}:"
  ln -sfn "$HORALIS_FULL_DRIVE_DIR" "$HORALIS_FULL_DRIVE_LINK"
  export HORALIS_FULL_DRIVE="${letter^^}:"
  # Before wine-env's own clean-up, which deletes the folder the mount sits in.
  trap 'horalis_full_drive_stop; horalis_wine_stop' EXIT
  trap 'horalis_full_drive_stop; horalis_wine_stop; exit 130' INT TERM
  echo "full-drive: $HORALIS_FULL_DRIVE is a 2 MiB tmpfs at $HORALIS_FULL_DRIVE_DIR"
}

horalis_full_drive_stop() {
  [[ -n $HORALIS_FULL_DRIVE_LINK ]] && rm -f "$HORALIS_FULL_DRIVE_LINK"
  if [[ -n $HORALIS_FULL_DRIVE_DIR ]]; then
    local sudo=()
    ((EUID == 0)) || sudo=(sudo -n)
    "${sudo[@]}" umount "$HORALIS_FULL_DRIVE_DIR" 2>/dev/null || "${sudo[@]}" umount -l "$HORALIS_FULL_DRIVE_DIR" 2>/dev/null
    rmdir "$HORALIS_FULL_DRIVE_DIR" 2>/dev/null
  fi
  HORALIS_FULL_DRIVE_DIR=""
  HORALIS_FULL_DRIVE_LINK=""
  unset HORALIS_FULL_DRIVE
}
