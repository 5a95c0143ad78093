#!/usr/bin/env bash
# Builds the Windows tree and starts Horalis.exe under Wine in a fresh prefix,
# on a virtual display (Xvfb) when DISPLAY is unset. Takes a screenshot once the
# main window is up and keeps running until Ctrl+C or until the program exits.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh windows
source e2e/wine-env.sh
horalis_wine_start

horalis_wine build/windows/bin/Horalis.exe </dev/null &
app=$!

# The splash picture stays about a second; give the main window a moment more.
deadline=$((SECONDS + 20))
until xdotool search --name '^Horalis$' >/dev/null 2>&1 || ((SECONDS > deadline)); do sleep 0.2; done
sleep 2
shot="$PWD/build/horalis-screen.png"
/usr/bin/import -display "$DISPLAY" -window root "$shot"

cat <<INFO
Horalis is running under Wine on DISPLAY=$DISPLAY (prefix $WINEPREFIX).
Screenshot: $shot
Another one: DISPLAY=$DISPLAY /usr/bin/import -window root shot.png
Input:       DISPLAY=$DISPLAY xdotool mousemove 400 300 click 1
Stop:        Ctrl+C here (the prefix and the display are removed), or File > Exit in the program.
INFO
wait "$app" || true
