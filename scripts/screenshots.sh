#!/usr/bin/env bash
# Regenerates the README's pictures in docs/screenshots/ from an end-to-end run:
# the main window with live rows, the Options dialog and the pointer dialog as
# the driver leaves them on the screen, and an HTML report exported through the
# save dialog, rendered by headless chromium.
# Expects the Windows build in build/windows (or $HORALIS_WINDOWS_BUILD); look
# at the pictures before committing them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${HORALIS_WINDOWS_BUILD:-$root/build/windows}
out=$root/docs/screenshots
convert=/usr/bin/convert   # the real ImageMagick, not a stand-in earlier on PATH

[[ -x $convert ]] && command -v chromium >/dev/null || bash scripts/install-deps.sh
source e2e/wine-env.sh
horalis_wine_start --own-display
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
work=$(mktemp -d)
trap 'horalis_wine_stop; rm -rf "$work"' EXIT

# The driver's screen is 1280x800; the program's windows open at the top left.
# case name | screenshot tag | picture | crop (the window, as laid out under Wine)
shots=(
  "lists_count_the_foreground_application_and_show_its_titles_newest_first|lists-titles|main-window|578x615+0+0"
  "options_dialog_saves_settings_from_menu_and_button|options|options|578x615+0+0"
  "pointer_dialog_lists_the_fourteen_shapes_and_counts_the_arrow|pointers-at-start|pointers|771x427+0+20"
)
export_case=reports_export_csv_spreadsheet_and_html_through_the_save_dialog

filter=$export_case
for shot in "${shots[@]}"; do filter+=",${shot%%|*}"; done
mkdir -p "$work/cases" "$work/screens" "$out"
timeout -k 10 300 "$HORALIS_WINE_BIN" "$build/e2e/horalis_e2e.exe" --filter "$filter" \
  --work "$(to_windows "$work/cases")" --screens "$(to_windows "$work/screens")" </dev/null

for shot in "${shots[@]}"; do
  IFS='|' read -r name tag picture crop <<<"$shot"
  "$convert" "$work/screens/$name-$tag.bmp" -crop "$crop" +repage -strip "$out/$picture.png"
done

report=$work/cases/$export_case/report.html
profile=$(mktemp -d)
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --user-data-dir="$profile" \
    --hide-scrollbars --window-size=900,400 --screenshot="$work/report.png" "file://$report" 2>/dev/null
rm -rf "$profile"
# The page's white margin below the table goes; a thin frame shows the edge.
"$convert" "$work/report.png" -trim +repage -bordercolor white -border 12 \
  -bordercolor '#999999' -border 1 -strip "$out/html-report.png"

ls -l "$out"
