#!/usr/bin/env bash
# Regenerates the program's pictures in this folder:
#   horalis.ico        program icon (clock face with an activity arc)
#   tray.ico           notification-area icon (the same motif, bolder)
#   default-app.ico    icon for executables that have none, and for "Idle time"
#   window-title.ico   icon of the rows of the window-title list
#   splash.bmp         start-up picture, 410 x 210, 24 bits
#   clear-lists.bmp, options.bmp, mouse-pointers.bmp
#                      32 x 32 button pictures, 8-bit palette; pure white is
#                      the transparent colour, so no glyph pixel is pure white;
#                      the same at 150 % (48 x 48, *-150.bmp) and 200 %
#                      (64 x 64, *-200.bmp) for high-DPI screens
# The list icons hold 16, 24 (150 %), 32 and 48 pixel drawings.
# The outputs are committed, so a build never needs these tools.
# Needs: ImageMagick 6 (convert), icoutils (icotool), fonts-dejavu-core.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
FONT_REGULAR=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
FONT_LIGHT=/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf
for f in "$FONT_BOLD" "$FONT_REGULAR" "$FONT_LIGHT"; do
  [[ -r $f ]] || { echo "missing font $f (package fonts-dejavu-core)" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "convert missing (package imagemagick)" >&2; exit 1; }
command -v icotool >/dev/null || { echo "icotool missing (package icoutils)" >&2; exit 1; }

# Brand colours.
INDIGO_LIGHT='#5446F2'
INDIGO_DARK='#21158A'
AMBER='#FFAE1A'
AMBER_DARK='#F08A00'
INK='#1A1C38'

calc() { awk "BEGIN { printf \"%.3f\", $* }"; }

# Every drawing is laid out on a 256 x 256 grid and rendered at eight times
# the target size, then box-filtered down: that gives clean anti-aliasing
# without the blur of resampling a finished small picture.
oversample() { echo $(( $1 * 8 )); }

# A disc mask: mask SIZE RADIUS OUT (on the 256 grid, centred).
mask_disc() {
  local r=$1 rad=$2 out=$3 k
  k=$(calc "$r / 256")
  convert -size "${r}x${r}" xc:black -fill white \
    -draw "scale $k,$k circle 128,128 128,$(calc "128 - $rad")" "$out"
}

# The clock motif: a dark indigo ring with an amber arc from twelve to five
# o'clock, a light face, two hands and (when there is room) hour marks.
#   clock SIZE OUT RING HAND MARKS SHADOW [OUTER [HOUR]]
# RING and HAND are widths on the 256 grid: small sizes get heavier strokes so
# the picture still reads at 16 x 16. MARKS: 0 none, 4 quarters, 12 all hours.
# OUTER is the ring's radius; HOUR the angle of the hour hand, where the arc
# ends (60: five o'clock; 0: three o'clock, which stays sharp when tiny).
clock() {
  local size=$1 out=$2 ring=$3 hand=$4 marks=$5 shadow=$6 outer=${7:-124} hour=${8:-60}
  local r k arc_r face_r
  r=$(oversample "$size")
  (( size >= 128 )) && r=$(( size * 4 ))
  k=$(calc "$r / 256")
  arc_r=$(calc "$outer - $ring / 2")
  face_r=$(calc "$outer - $ring")

  # Ring: vertical gradient inside the outer disc.
  mask_disc "$r" "$outer" "$tmp/m_outer.png"
  convert -size "${r}x${r}" gradient:"$INDIGO_LIGHT-$INDIGO_DARK" \
    "$tmp/m_outer.png" -alpha off -compose CopyOpacity -composite "$tmp/ring.png"

  # Face: a soft radial shade, lighter at the top left.
  mask_disc "$r" "$face_r" "$tmp/m_face.png"
  convert -size "$((r * 2))x$((r * 2))" radial-gradient:'#FFFFFF-#DDE1F2' \
    -crop "${r}x${r}+$((r * 6 / 10))+$((r * 6 / 10))" +repage \
    "$tmp/m_face.png" -alpha off -compose CopyOpacity -composite "$tmp/face.png"

  # Marks, arc, hands.
  local draw="scale $k,$k"
  if (( marks > 0 )); then
    local step=$(( 360 / marks )) a len w x1 y1 x2 y2
    for (( a = 0; a < 360; a += step )); do
      if (( a % 90 == 0 )); then len=$(calc "$face_r * 0.20"); w=$(calc "$hand * 0.75")
      else len=$(calc "$face_r * 0.11"); w=$(calc "$hand * 0.45"); fi
      x1=$(calc "128 + ($face_r * 0.90) * sin($a * 3.14159265 / 180)")
      y1=$(calc "128 - ($face_r * 0.90) * cos($a * 3.14159265 / 180)")
      x2=$(calc "128 + ($face_r * 0.90 - $len) * sin($a * 3.14159265 / 180)")
      y2=$(calc "128 - ($face_r * 0.90 - $len) * cos($a * 3.14159265 / 180)")
      draw+=" stroke '#8C90B8' stroke-width $w stroke-linecap butt line $x1,$y1 $x2,$y2"
    done
  fi
  # Arc: from -90 degrees (twelve o'clock) clockwise to the hour hand, as a
  # polyline (ImageMagick 6 closes a stroked elliptic arc with a chord).
  local arc
  arc=$(awk -v r="$arc_r" -v h="$hour" 'BEGIN { for (i = 0; i <= 48; i++) {
    a = (-90 + (h + 90) * i / 48) * 3.14159265 / 180
    printf "%.3f,%.3f ", 128 + r * cos(a), 128 + r * sin(a) } }')
  draw+=" fill none stroke '$AMBER' stroke-width $(calc "$ring * 0.78")"
  draw+=" stroke-linecap round stroke-linejoin round polyline $arc"
  # Hour hand at the arc's end; minute hand at twelve.
  local hx hy
  hx=$(calc "128 + $face_r * 0.52 * cos($hour * 3.14159265 / 180)")
  hy=$(calc "128 + $face_r * 0.52 * sin($hour * 3.14159265 / 180)")
  draw+=" stroke '$INK' stroke-width $hand stroke-linecap round"
  draw+=" line 128,128 $hx,$hy"
  # The minute hand is upright on the centre line, which falls between two
  # pixel columns: a whole even number of pixels wide, it stays sharp.
  local minute_px minute_w
  minute_px=$(awk -v h="$hand" -v s="$size" 'BEGIN { p = int(h * 0.82 * s / 256 / 2 + 0.5) * 2; print (p < 2 ? 2 : p) }')
  minute_w=$(calc "$minute_px * 256 / $size")
  draw+=" stroke-width $minute_w line 128,128 128,$(calc "128 - $face_r * 0.74")"
  draw+=" stroke none fill '$AMBER_DARK' circle 128,128 128,$(calc "128 - $hand * 0.62")"

  convert -size "${r}x${r}" xc:none "$tmp/ring.png" -composite "$tmp/face.png" -composite \
    -draw "$draw" "$tmp/clock_big.png"

  if (( shadow )); then
    # A soft drop shadow, inside the same canvas.
    convert "$tmp/clock_big.png" -alpha extract -blur "0x$((r / 50))" -roll "+0+$((r / 40))" \
      -evaluate multiply 0.38 "$tmp/shadow_mask.png"
    convert -size "${r}x${r}" xc:'#0A0830' "$tmp/shadow_mask.png" -alpha off \
      -compose CopyOpacity -composite "$tmp/clock_big.png" -compose Over -composite \
      "$tmp/clock_big.png"
  fi
  convert "$tmp/clock_big.png" -filter Box -resize "${size}x${size}" "$out"
}

# Window glyphs, laid out on the target's own pixel grid (u = one sixteenth
# of the size) so that every edge is sharp: the default application icon
# (title bar, side bar, content blocks) and the window-title icon (a bold
# title bar with a caption line).
#   window_icon SIZE OUT KIND
window_icon() {
  local size=$1 out=$2 kind=$3 u fr draw
  u=$(( size / 16 ))
  fr=$u; (( size >= 48 )) && fr=2
  # box L T R B COLOUR [RADIUS]: pixel edges in u, right and bottom exclusive.
  box() {
    local l t r b
    l=$(calc "8 * $1 * $u"); t=$(calc "8 * $2 * $u")
    r=$(calc "8 * $3 * $u - 1"); b=$(calc "8 * $4 * $u - 1")
    if [[ -n ${6:-} ]]; then
      draw+=" fill '$5' roundrectangle $l,$t $r,$b $(calc "8 * $6 * $u"),$(calc "8 * $6 * $u")"
    else
      draw+=" fill '$5' rectangle $l,$t $r,$b"
    fi
  }
  # inner L T R B COLOUR: like box, but the outer edges move in by the frame.
  inner() {
    local l t r b
    l=$(( 8 * $1 * u )); t=$(( 8 * $2 * u )); r=$(( 8 * $3 * u - 1 )); b=$(( 8 * $4 * u - 1 ))
    (( $1 == 0 )) && l=$(( 8 * fr ))
    (( $3 == 16 )) && r=$(( 8 * (size - fr) - 1 ))
    draw+=" fill '$5' rectangle $l,$t $r,$b"
  }
  draw="stroke none"
  if [[ $kind == app ]]; then
    box 0 1 16 15 '#3B4A63' 1.5
    draw+=" fill '#4C7BD9' roundrectangle $(( 8 * fr )),$(( 8 * (u + fr) )) $(( 8 * (size - fr) - 1 )),$(( 8 * 5 * u - 1 )) $(( 4 * u )),$(( 4 * u ))"
    inner 0 4 16 5 '#4C7BD9'
    inner 0 5 16 14 '#F3F5F9'
    draw+=" fill '#F3F5F9' rectangle $(( 8 * fr )),$(( 8 * 5 * u )) $(( 8 * (size - fr) - 1 )),$(( 8 * (15 * u - fr) - 1 ))"
    draw+=" fill '#C7D2E6' rectangle $(( 8 * fr )),$(( 8 * 5 * u )) $(( 8 * 4 * u - 1 )),$(( 8 * (15 * u - fr) - 1 ))"
    if (( size >= 32 )); then
      box 11 3 12 4 '#E8EEFC'
      box 13 3 14 4 '#E8EEFC'
    fi
    box 6 7 14 9 "$AMBER"
    box 6 10 14 11 '#8FA6D6'
    box 6 12 11 13 '#8FA6D6'
  else
    box 0 2 16 14 '#2A2F45' 1.5
    draw+=" fill '$INDIGO_LIGHT' roundrectangle $(( 8 * fr )),$(( 8 * (2 * u + fr) )) $(( 8 * (size - fr) - 1 )),$(( 8 * 7 * u - 1 )) $(( 4 * u )),$(( 4 * u ))"
    inner 0 6 16 7 "$INDIGO_LIGHT"
    draw+=" fill '#FBFBFD' rectangle $(( 8 * fr )),$(( 8 * 7 * u )) $(( 8 * (size - fr) - 1 )),$(( 8 * (14 * u - fr) - 1 ))"
    # The caption line: the title this icon stands for.
    box 3 4 11 6 '#FFD27A' 0.5
    box 3 9 13 10 '#B9BDD6'
    box 3 11 10 12 '#B9BDD6'
  fi
  local r
  r=$(oversample "$size")
  convert -size "${r}x${r}" xc:none -draw "$draw" -filter Box -resize "${size}x${size}" "$out"
}

# An 8-bit companion of a 32-bit icon image: hard mask at half opacity and at
# most 256 colours, for image lists and displays without alpha.
to_8bit() {
  convert "$1" -channel A -threshold 50% +channel -dither None -colors 255 "$2"
}

# icon OUT PNG... : 32-bit images with alpha, each followed by its 8-bit
# companion; 256-pixel images are stored as PNG.
make_icon() {
  local out=$1; shift
  local args=() f w
  for f in "$@"; do
    w=$(identify -format '%w' "$f")
    if (( w >= 256 )); then
      convert "$f" -depth 8 -strip PNG32:"${f%.png}_raw.png"
      args+=(-r "${f%.png}_raw.png")
    else
      to_8bit "$f" "${f%.png}_8.png"
      args+=(-b 32 "$f" -b 8 "${f%.png}_8.png")
    fi
  done
  icotool -c -o "$out" "${args[@]}"
}

# --- icons ---------------------------------------------------------------

clock 16  "$tmp/main16.png"  40 25 0 0 126
clock 24  "$tmp/main24.png"  32 20 0 0 125
clock 32  "$tmp/main32.png"  26 16 4 1 118
clock 48  "$tmp/main48.png"  22 13 12 1 118
clock 256 "$tmp/main256.png" 18 10 12 1 116
make_icon "$here/horalis.ico" "$tmp"/main16.png "$tmp"/main24.png "$tmp"/main32.png \
  "$tmp"/main48.png "$tmp"/main256.png

# Tray: no hour marks, heavier hands, no shadow (the taskbar is its ground).
clock 16 "$tmp/tray16.png" 44 28 0 0 127
clock 20 "$tmp/tray20.png" 40 25 0 0 127
clock 24 "$tmp/tray24.png" 36 22 0 0 126
clock 32 "$tmp/tray32.png" 30 18 0 0 125
make_icon "$here/tray.ico" "$tmp"/tray16.png "$tmp"/tray20.png "$tmp"/tray24.png "$tmp"/tray32.png

# The glyphs sit on a grid of sixteenths, so 24 pixels (the list rows at
# 150 %) is the 48-pixel drawing halved.
for s in 16 32 48; do window_icon "$s" "$tmp/app$s.png" app; done
convert "$tmp/app48.png" -filter Box -resize 24x24 "$tmp/app24.png"
make_icon "$here/default-app.ico" "$tmp"/app16.png "$tmp"/app24.png "$tmp"/app32.png "$tmp"/app48.png

for s in 16 32 48; do window_icon "$s" "$tmp/title$s.png" title; done
convert "$tmp/title48.png" -filter Box -resize 24x24 "$tmp/title24.png"
make_icon "$here/window-title.ico" "$tmp"/title16.png "$tmp"/title24.png "$tmp"/title32.png "$tmp"/title48.png

# --- button pictures -------------------------------------------------------

# button_bmp GLYPH.png OUT.bmp SIZE: the glyph's soft edges are blended with
# the usual button face, the background becomes pure white (the transparent
# colour), and the result is stored as an 8-bit palette BMP.
button_bmp() {
  local glyph=$1 out=$2 size=$3
  convert "$glyph" -alpha extract -threshold 8% "$tmp/b_mask.png"
  # At most 255 colours for the glyph, none of them white. The picture goes
  # through an 8-bit file before the BMP is written, so the writer finds at
  # most 256 exact colours and keeps them.
  convert "$glyph" -background '#F0F0F0' -alpha remove -alpha off \
    -dither None -colors 255 -depth 8 "$tmp/b_flat.png"
  convert -size "${size}x${size}" xc:white "$tmp/b_flat.png" "$tmp/b_mask.png" -composite \
    -alpha off -depth 8 PNG24:"$tmp/b_full.png"
  # Remapping to the picture's own colours gives an exact palette image;
  # -type Palette would quantise once more.
  convert "$tmp/b_full.png" -unique-colors "$tmp/b_palette.png"
  convert "$tmp/b_full.png" +dither -remap "$tmp/b_palette.png" -compress None BMP3:"$out"
  local bits
  bits=$(od -An -tu2 -j28 -N2 "$out" | tr -d ' ')
  [[ $bits == 8 ]] || { echo "$out: $bits bits per pixel, expected 8" >&2; exit 1; }
  # White may only be where the mask is clear.
  local white clear
  white=$(convert "$out" -fill black +opaque white -fill white -opaque white -format '%[fx:round(mean*w*h)]' info:)
  clear=$(convert "$tmp/b_mask.png" -negate -format '%[fx:round(mean*w*h)]' info:)
  if [[ $white != "$clear" ]]; then
    echo "$out: $white white pixels but $clear background pixels" >&2
    exit 1
  fi
}

# S: the picture's size; suffix: none at 100 %, -150 and -200 above.
for scale in 100 150 200; do
S=$(( 32 * scale / 100 ))
suffix=""; (( scale > 100 )) && suffix="-$scale"

B=256
KB=$(calc "$B / 256")

# Clear lists: a list sheet with a red "remove" badge.
convert -size ${B}x${B} xc:none -draw "scale $KB,$KB
  fill '#3F4C66' roundrectangle 22,14 194,238 18,18
  fill '#FAFBFE' roundrectangle 34,26 182,226 10,10
  fill '#4A3CF0' roundrectangle 52,54 74,76 4,4
  fill '#9AA6BF' roundrectangle 86,58 164,72 6,6
  fill '#4A3CF0' roundrectangle 52,100 74,122 4,4
  fill '#9AA6BF' roundrectangle 86,104 164,118 6,6
  fill '#4A3CF0' roundrectangle 52,146 74,168 4,4
  fill '#9AA6BF' roundrectangle 86,150 140,164 6,6
  fill '#9E1B24' circle 184,184 184,118
  fill '#E5383F' circle 184,180 184,124
  stroke '#FEFEFE' stroke-width 20 stroke-linecap round
  line 160,156 208,204 line 208,156 160,204
" -filter Box -resize ${S}x${S} "$tmp/clear.png"
button_bmp "$tmp/clear.png" "$here/clear-lists$suffix.bmp" "$S"

# Options: a steel gear; its hole stays transparent.
gear="M"
teeth=8
for (( i = 0; i < teeth; i++ )); do
  base=$(calc "$i * 360 / $teeth")
  for pair in "-22.5 86" "-13 86" "-8 118" "8 118" "13 86" "22.5 86"; do
    set -- $pair
    a=$(calc "($base + $1) * 3.14159265 / 180")
    gear+=" $(calc "128 + $2 * cos($a)"),$(calc "128 + $2 * sin($a)")"
  done
done
gear+=" Z"
convert -size ${B}x${B} -define gradient:angle=135 gradient:'#9AA8C2-#3E4A66' \
  \( -size ${B}x${B} xc:black -fill white -draw "scale $KB,$KB path '$gear'" \
     -fill black -draw "scale $KB,$KB circle 128,128 128,88" \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -draw "scale $KB,$KB fill none stroke '#283247' stroke-width 9 path '$gear'
         stroke-width 9 circle 128,128 128,84
         stroke '#C9D2E4' stroke-width 7 circle 128,128 128,60" \
  -filter Box -resize ${S}x${S} "$tmp/gear.png"
button_bmp "$tmp/gear.png" "$here/options$suffix.bmp" "$S"

# Mouse pointers: the arrow pointer with a small clock beside its tail.
arrow="M 3.625,1.5 L 3.625,24 L 8.6,19.2 L 12.2,27.4 L 16.4,25.6 L 12.9,17.625 L 19.6,17.625 Z"
convert -size ${B}x${B} xc:none -draw "scale 8,8
  fill '#FEFEFE' stroke '#16182C' stroke-width 1.25 stroke-linejoin miter path '$arrow'
" "$tmp/arrow_big.png"
# The badge is drawn at its final size from the same clock motif.
clock $(( 14 * S / 32 )) "$tmp/badge.png" 36 36 0 0 127 0
convert "$tmp/arrow_big.png" -filter Box -resize ${S}x${S} \
  "$tmp/badge.png" -geometry +$(( 18 * S / 32 ))+$(( 18 * S / 32 )) -composite "$tmp/arrow.png"
button_bmp "$tmp/arrow.png" "$here/mouse-pointers$suffix.bmp" "$S"

done

# --- splash ----------------------------------------------------------------

W=410 H=210
clock 132 "$tmp/splash_clock.png" 16 10 12 1 116
convert -respect-parentheses -size ${W}x${H} -define gradient:angle=115 gradient:'#1B1466-#3B47D8' \
  \( -size ${W}x${H} xc:none -fill none -stroke '#FFFFFF' -strokewidth 26 \
     -draw "circle 410,250 410,60" -channel A -evaluate multiply 0.06 +channel \) -composite \
  \( -size ${W}x${H} xc:none -fill none -stroke '#FFFFFF' -strokewidth 2 \
     -draw "circle 410,250 410,20" -channel A -evaluate multiply 0.10 +channel \) -composite \
  "$tmp/splash_clock.png" -geometry +26+30 -composite \
  -stroke none \
  -font "$FONT_BOLD" -pointsize 46 -fill '#FFFFFF' -annotate +176+100 'Horalis' \
  -font "$FONT_REGULAR" -pointsize 14 -fill '#DDE0FF' -annotate +178+127 'Where your working day goes' \
  -fill "$AMBER" -draw "rectangle 178,141 237,143" \
  -font "$FONT_REGULAR" -pointsize 11 -fill '#AEB4F2' -annotate +178+170 'Activity meter for Windows' \
  -annotate +178+186 'Version 2.0' \
  -fill "$AMBER" -draw "rectangle 0,$((H - 4)) $((W * 62 / 100)),$((H - 1))" \
  -fill '#2A2F7A' -draw "rectangle $((W * 62 / 100 + 1)),$((H - 4)) $W,$((H - 1))" \
  -shave 1x1 -bordercolor '#120D48' -border 1 \
  -alpha off -type TrueColor -compress None BMP3:"$here/splash.bmp"

echo "art written to $here"
