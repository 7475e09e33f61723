#!/usr/bin/env bash
# Draws the test skin's images: every frame one solid colour, so that a pixel read tells
# which image and which frame was drawn. Image number f, frame k (from 1) has the colour
# RGB(16 * f, 15 * k, 96). Run it after a change and commit the files it writes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# strip <file> <image number> <frame width> <frame height> <frames>: frames stacked vertically.
strip() {
  local file=$1 f=$2 w=$3 h=$4 count=$5 frames=()
  for k in $(seq 1 "$count"); do
    convert -size "${w}x${h}" "xc:rgb($((16 * f)),$((15 * k)),96)" "$work/$k.png"
    frames+=("$work/$k.png")
  done
  convert "${frames[@]}" -append -type TrueColor -define bmp:format=bmp3 "BMP3:$file"
}

strip caption.bmp 1 16 8 2
strip frameleft.bmp 2 4 8 2
strip frameright.bmp 3 4 8 2
strip framebottom.bmp 4 8 4 2
strip closebutton.bmp 5 16 16 8
strip maxbutton.bmp 6 16 16 8
strip minbutton.bmp 7 16 16 8
strip pushbutton.bmp 8 16 16 5
strip checkbox.bmp 9 13 13 12
# The radio glyph is larger than the check box's, so that a test tells their sizes apart.
strip radiobutton.bmp 10 15 15 8
strip arrowbtn.bmp 11 16 16 16
strip thumb.bmp 12 16 16 4
strip track.bmp 13 8 8 4
# 4 horizontal frames of 20 x 20 in an 80 x 20 image, for the part-size measures.
convert -size 80x20 "xc:rgb(224,15,96)" -type TrueColor -define bmp:format=bmp3 BMP3:wide.bmp

# Second set, blue 160: image number f, frame k has the colour RGB(16 * f, 15 * k, 160).
strip2() {
  local file=$1 f=$2 w=$3 h=$4 count=$5 frames=()
  for k in $(seq 1 "$count"); do
    convert -size "${w}x${h}" "xc:rgb($((16 * f)),$((15 * k)),160)" "$work/$k.png"
    frames+=("$work/$k.png")
  done
  convert "${frames[@]}" -append -type TrueColor -define bmp:format=bmp3 "BMP3:$file"
}

strip2 restorebutton.bmp 1 16 16 8
strip2 helpbutton.bmp 2 16 16 8
strip2 tabbody.bmp 4 8 8 1
# The small caption has transparent (magenta) pixels for the window region, in both frames:
# row 0 at x 0, 1, 4..11, 13 and 15; row 1 at x 0 and 1.
for k in 1 2; do
  convert -size 16x8 "xc:rgb(48,$((15 * k)),160)" -fill magenta \
    -draw "point 0,0" -draw "point 1,0" -draw "line 4,0 11,0" -draw "point 13,0" -draw "point 15,0" \
    -draw "point 0,1" -draw "point 1,1" "$work/small$k.png"
done
convert "$work/small1.png" "$work/small2.png" -append -type TrueColor -define bmp:format=bmp3 BMP3:smallcaption.bmp
# Scroll bars: the track after the thumb, a 4 x 4 gripper and the size box.
strip2 uppertrack.bmp 8 8 8 4
strip2 gripper.bmp 9 4 4 4
strip2 sizebox.bmp 10 8 8 2
# Toolbar parts, one frame per state (normal, hot, pressed, disabled, checked): buttons of
# 16 x 8 stacked, split buttons and their arrow parts of 20 x 20 side by side, a separator.
side_by_side() { # file frame-width frame-height: the vertical strip's frames put in a row
  convert "$1" -crop "${2}x${3}" +repage +append -type TrueColor -define bmp:format=bmp3 "BMP3:$1"
}
strip2 toolbutton.bmp 11 16 8 5
strip2 toolsplit.bmp 12 20 20 5 && side_by_side toolsplit.bmp 20 20
strip2 toolsplitdrop.bmp 13 20 20 5 && side_by_side toolsplitdrop.bmp 20 20
strip2 toolseparator.bmp 14 8 8 1
# Combo boxes: the drop-down button (4 states) and the box drawn from an image (4 states).
strip dropdown.bmp 14 16 16 4
strip2 combobox.bmp 15 16 16 4
