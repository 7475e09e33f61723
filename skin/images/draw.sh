#!/usr/bin/env bash
# Draws the skin's images with ImageMagick into this folder as 24-bit bottom-up BMP files
# (40-byte BI_RGB headers), the form the skin engine reads. Run it after changing a colour
# or a shape and commit the files it writes; the build uses the committed files.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The palette: one slate blue for everything active, greys with a blue cast for the rest.
face='#EEF1F4'         # dialog face (BTNFACE)
slate='#3E5C76'        # active caption and frame
slate_line='#2B4257'   # outer frame line of an active window
slate_hot='#56748E'    # caption button under the mouse
slate_down='#2F4A61'   # caption button pressed
mist='#A3AFBA'         # inactive caption and frame
mist_line='#8793A0'    # outer frame line of an inactive window
mist_hot='#B3BEC8'
mist_down='#939FAB'
glyph='#FFFFFF'
glyph_off='#C9D2DA'    # glyph of a disabled caption button
glyph_mist='#F4F6F8'
close_hot='#B2563F'    # the close button warns when the mouse is on it
close_down='#8F4330'
line='#8A97A3'         # control borders
line_hot='#4F7DA3'
line_down='#3E5C76'
line_off='#C3CAD0'
fill='#E6EBEF'
fill_hot='#EEF4F9'
fill_down='#D3DCE5'
fill_off='#F1F3F5'
ink='#1F2A33'
ink_off='#A7B0B8'
track='#E3E8EC'
track_hot='#D9E0E6'
track_down='#C9D3DC'
thumb='#B8C3CD'
thumb_hot='#9FB0C0'
thumb_down='#7F93A6'

bmp() { convert "$@" -type TrueColor -define bmp:format=bmp3 "BMP3:$out"; }
# Stacks the frames given (files) top to bottom into $out.
stack() { out=$1; shift; bmp "$@" -append; }
frame() { echo "$work/$1.png"; }

# --- window frame -----------------------------------------------------------------------
# Caption: outer line on three sides, a flat band, a one-pixel lighter line under the top.
caption() { # name fill outer inner-light
  convert -size 32x26 "xc:$2" -fill "$3" -draw 'rectangle 0,0 31,0' \
    -draw 'rectangle 0,0 0,25' -draw 'rectangle 31,0 31,25' \
    -fill "$4" -draw 'rectangle 1,1 30,1' "$(frame "$1")"
}
caption cap_a "$slate" "$slate_line" '#4B6882'
caption cap_i "$mist" "$mist_line" '#ADB8C2'
stack caption.bmp "$(frame cap_a)" "$(frame cap_i)"
convert -size 24x18 "xc:$slate" -fill "$slate_line" -draw 'rectangle 0,0 23,0' \
  -draw 'rectangle 0,0 0,17' -draw 'rectangle 23,0 23,17' "$(frame scap_a)"
convert -size 24x18 "xc:$mist" -fill "$mist_line" -draw 'rectangle 0,0 23,0' \
  -draw 'rectangle 0,0 0,17' -draw 'rectangle 23,0 23,17' "$(frame scap_i)"
stack smallcaption.bmp "$(frame scap_a)" "$(frame scap_i)"

# Side and bottom borders: the outer line, then the caption colour.
side() { # name fill outer column-of-outer-line
  convert -size 4x8 "xc:$2" -fill "$3" -draw "rectangle $4,0 $4,7" "$(frame "$1")"
}
side fl_a "$slate" "$slate_line" 0; side fl_i "$mist" "$mist_line" 0
side fr_a "$slate" "$slate_line" 3; side fr_i "$mist" "$mist_line" 3
stack frameleft.bmp "$(frame fl_a)" "$(frame fl_i)"
stack frameright.bmp "$(frame fr_a)" "$(frame fr_i)"
bottom() { convert -size 8x4 "xc:$2" -fill "$3" -draw 'rectangle 0,3 7,3' "$(frame "$1")"; }
bottom fb_a "$slate" "$slate_line"; bottom fb_i "$mist" "$mist_line"
stack framebottom.bmp "$(frame fb_a)" "$(frame fb_i)"

# Caption buttons: 16 x 16, drawn at their true size on the caption. Frames: normal, hot,
# pushed, disabled for an active window, then the same four for an inactive one.
button_frame() { # name background glyph-colour glyph-draw-commands...
  local name=$1 bg=$2 ink=$3; shift 3
  convert -size 16x16 "xc:$bg" -fill "$ink" -stroke none "$@" "$(frame "$name")"
}
caption_button() { # file hot-colour pressed-colour glyph-draw-commands...
  local file=$1 hot=$2 down=$3; shift 3
  button_frame a1 "$slate" "$glyph" "$@"
  button_frame a2 "$hot" "$glyph" "$@"
  button_frame a3 "$down" "$glyph" "$@"
  button_frame a4 "$slate" "$glyph_off" "$@"
  button_frame i1 "$mist" "$glyph_mist" "$@"
  button_frame i2 "$mist_hot" "$glyph_mist" "$@"
  button_frame i3 "$mist_down" "$glyph_mist" "$@"
  button_frame i4 "$mist" "$glyph_off" "$@"
  stack "$file" $(for f in a1 a2 a3 a4 i1 i2 i3 i4; do frame $f; done)
}
# A cross of two-pixel diagonals, a bar, a box with a heavy top, a question mark.
close_glyph=(-draw 'line 4,4 11,11' -draw 'line 5,4 11,10' -draw 'line 4,5 10,11'
             -draw 'line 11,4 4,11' -draw 'line 10,4 4,10' -draw 'line 11,5 5,11')
caption_button closebutton.bmp "$close_hot" "$close_down" "${close_glyph[@]}"
caption_button minbutton.bmp "$slate_hot" "$slate_down" -draw 'rectangle 4,10 11,11'
caption_button maxbutton.bmp "$slate_hot" "$slate_down" \
  -draw 'rectangle 4,4 11,5' -draw 'rectangle 4,4 4,11' -draw 'rectangle 11,4 11,11' \
  -draw 'rectangle 4,11 11,11'
caption_button restorebutton.bmp "$slate_hot" "$slate_down" \
  -draw 'rectangle 6,3 12,4' -draw 'rectangle 12,3 12,9' -draw 'rectangle 6,3 6,5' \
  -draw 'rectangle 3,6 9,7' -draw 'rectangle 3,6 3,12' -draw 'rectangle 9,6 9,12' \
  -draw 'rectangle 3,12 9,12'
caption_button helpbutton.bmp "$slate_hot" "$slate_down" \
  -draw 'rectangle 5,3 10,4' -draw 'rectangle 10,3 11,7' -draw 'rectangle 7,7 10,8' \
  -draw 'rectangle 7,8 8,9' -draw 'rectangle 7,11 8,12' -draw 'point 4,5' -draw 'point 5,5'

# --- push buttons -----------------------------------------------------------------------
# 5 frames of 16 x 22: normal, hot, pressed, disabled, default. One-pixel border with
# softened corners, a light line inside the top edge.
push() { # name border fill top-light inner-ring(or none)
  local ring=()
  [ "$5" != none ] && ring=(-fill none -stroke "$5" -draw 'rectangle 1,1 14,20' -stroke none)
  convert -size 16x22 "xc:$3" -fill none -stroke "$2" -strokewidth 1 +antialias \
    -draw 'rectangle 0,0 15,21' -stroke none -fill "$4" -draw 'rectangle 1,1 14,1' \
    "${ring[@]}" -fill '#C4CCD3' -draw 'point 0,0' -draw 'point 15,0' -draw 'point 0,21' \
    -draw 'point 15,21' "$(frame "$1")"
}
push p1 "$line" "$fill" '#F7F9FA' none
push p2 "$line_hot" "$fill_hot" '#FFFFFF' none
push p3 "$line_down" "$fill_down" "$fill_down" none
push p4 "$line_off" "$fill_off" "$fill_off" none
push p5 "$line_hot" "$fill" '#F7F9FA' '#A9C0D3'
stack pushbutton.bmp $(for f in p1 p2 p3 p4 p5; do frame $f; done)

# Check boxes: 12 frames of 13 x 13 (unchecked, checked, mixed; each normal, hot, pressed,
# disabled), drawn at their true size.
box() { # name border fill mark(none|check|mixed) mark-colour
  local mark=()
  case $4 in
    check) mark=(-stroke "$5" -strokewidth 1 -draw 'line 3,6 5,8' -draw 'line 3,7 5,9'
                 -draw 'line 5,8 9,4' -draw 'line 5,9 9,5' -stroke none) ;;
    mixed) mark=(-fill "$5" -draw 'rectangle 3,5 9,7') ;;
  esac
  convert -size 13x13 "xc:$3" +antialias -fill none -stroke "$2" -draw 'rectangle 0,0 12,12' \
    -stroke none "${mark[@]}" "$(frame "$1")"
}
n=0
for mark in none check mixed; do
  box c$((n+1)) "$line" '#FFFFFF' $mark "$slate"
  box c$((n+2)) "$line_hot" "$fill_hot" $mark "$slate"
  box c$((n+3)) "$line_down" "$fill_down" $mark "$slate"
  box c$((n+4)) "$line_off" "$fill_off" $mark "$ink_off"
  n=$((n+4))
done
stack checkbox.bmp $(for i in $(seq 1 12); do frame c$i; done)

# Radio buttons: 8 frames of 13 x 13 on the dialog face (unchecked, checked; each normal,
# hot, pressed, disabled), drawn at their true size.
radio() { # name ring fill dot-colour(or none)
  local dot=()
  [ "$4" != none ] && dot=(-fill "$4" -stroke none -draw 'circle 6,6 6,3.6')
  convert -size 13x13 "xc:$face" -fill "$3" -stroke "$2" -strokewidth 1 \
    -draw 'circle 6,6 6,0.5' "${dot[@]}" "$(frame "$1")"
}
radio r1 "$line" '#FFFFFF' none; radio r2 "$line_hot" "$fill_hot" none
radio r3 "$line_down" "$fill_down" none; radio r4 "$line_off" "$fill_off" none
radio r5 "$line" '#FFFFFF' "$slate"; radio r6 "$line_hot" "$fill_hot" "$slate"
radio r7 "$line_down" "$fill_down" "$slate"; radio r8 "$line_off" "$fill_off" "$ink_off"
stack radiobutton.bmp $(for i in $(seq 1 8); do frame r$i; done)

# Group box: a one-pixel line, 2 frames (normal, disabled).
convert -size 8x8 "xc:$face" -fill none -stroke "$line_off" +antialias -draw 'rectangle 0,0 7,7' "$(frame g1)"
convert -size 8x8 "xc:$face" -fill none -stroke '#D6DBE0' +antialias -draw 'rectangle 0,0 7,7' "$(frame g2)"
stack groupbox.bmp "$(frame g1)" "$(frame g2)"

# --- scroll bars ------------------------------------------------------------------------
# Arrow buttons: 16 frames of 17 x 17 (up, down, left, right; each normal, hot, pressed,
# disabled): a flat square with a small solid triangle.
arrow() { # name background triangle-points colour
  convert -size 17x17 "xc:$2" +antialias -fill "$4" -draw "polygon $3" "$(frame "$1")"
}
up='5,10 11,10 8,7'; down='5,7 11,7 8,10'; left='10,5 10,11 7,8'; right='7,5 7,11 10,8'
n=0
for shape in "$up" "$down" "$left" "$right"; do
  arrow s$((n+1)) "$track" "$shape" '#5E6E7C'
  arrow s$((n+2)) "$track_hot" "$shape" "$slate"
  arrow s$((n+3)) "$track_down" "$shape" "$slate_line"
  arrow s$((n+4)) "$track" "$shape" "$line_off"
  n=$((n+4))
done
stack arrowbtn.bmp $(for i in $(seq 1 16); do frame s$i; done)

# Thumbs: 4 frames of 17 x 17 (normal, hot, pressed, disabled), a bar inset by 3 pixels
# across the bar and 1 pixel along it, stretched by its margins.
thumb_frame() { # name colour horizontal(1|0)
  local r='3,1 13,15'
  [ "$3" = 1 ] && r='1,3 15,13'
  convert -size 17x17 "xc:$track" +antialias -fill "$2" -draw "rectangle $r" "$(frame "$1")"
}
for dir in 1 0; do
  thumb_frame t1 "$thumb" $dir; thumb_frame t2 "$thumb_hot" $dir
  thumb_frame t3 "$thumb_down" $dir; thumb_frame t4 "$track" $dir
  [ $dir = 1 ] && name=thumbhorz.bmp || name=thumbvert.bmp
  stack $name $(for i in 1 2 3 4; do frame t$i; done)
done

# Tracks: 4 frames of 8 x 8 (normal, hot, pressed, disabled), flat.
for c in "$track:k1" "$track_hot:k2" "$track_down:k3" "$fill_off:k4"; do
  convert -size 8x8 "xc:${c%%:*}" "$(frame "${c##*:}")"
done
stack track.bmp $(for i in 1 2 3 4; do frame k$i; done)

# Grippers: three short lines across the thumb, drawn at their true size.
convert -size 7x7 "xc:$thumb" -fill '#EEF2F5' -draw 'rectangle 0,1 6,1' \
  -draw 'rectangle 0,3 6,3' -draw 'rectangle 0,5 6,5' "$(frame gv)"
out=grippervert.bmp; bmp "$(frame gv)"
convert "$(frame gv)" -rotate 90 "$(frame gh)"
out=gripperhorz.bmp; bmp "$(frame gh)"

# Size box: dots in a triangle, 2 frames of 17 x 17 (right aligned, left aligned).
dots=()
for p in '13,13' '13,10' '10,13' '13,7' '10,10' '7,13'; do
  x=${p%,*}; y=${p#*,}; dots+=(-draw "rectangle $x,$y $((x+1)),$((y+1))")
done
convert -size 17x17 "xc:$face" -fill "$line" "${dots[@]}" "$(frame z1)"
convert "$(frame z1)" -flop "$(frame z2)"
stack sizebox.bmp "$(frame z1)" "$(frame z2)"

# --- other controls -----------------------------------------------------------------------
# Flat rectangles with a one-pixel border, stretched by one-pixel margins.
boxed() { # name width height border fill [top-light]
  local light=()
  [ -n "${6:-}" ] && light=(-fill "$6" -draw "rectangle 1,1 $(($2 - 2)),1")
  convert -size "${2}x${3}" "xc:$5" +antialias -fill none -stroke "$4" \
    -draw "rectangle 0,0 $(($2 - 1)),$(($3 - 1))" -stroke none "${light[@]}" "$(frame "$1")"
}

# Progress bar: a white well, and a slate chunk with a lighter top line.
boxed pb 12 12 "$line" '#FFFFFF'
out=progressbar.bmp; bmp "$(frame pb)"
convert -size 8x10 "xc:$line_hot" -fill '#6F95B5' -draw 'rectangle 0,0 7,0' "$(frame pc)"
out=progresschunk.bmp; bmp "$(frame pc)"
convert -size 10x8 "xc:$line_hot" -fill '#6F95B5' -draw 'rectangle 0,0 0,7' "$(frame pcv)"
out=progresschunkvert.bmp; bmp "$(frame pcv)"

# Trackbar: a thin sunken track, and a thumb of 11 x 19 (normal, hot, pressed, focused,
# disabled) drawn at its true size.
boxed tr 8 4 "$line" "$track"
out=track_channel.bmp; bmp "$(frame tr)"
boxed tb1 11 19 "$line" "$fill" '#F7F9FA'; boxed tb2 11 19 "$line_hot" "$fill_hot" '#FFFFFF'
boxed tb3 11 19 "$line_down" "$fill_down"; boxed tb4 11 19 "$line_hot" "$fill" '#F7F9FA'
boxed tb5 11 19 "$line_off" "$fill_off"
stack trackthumb.bmp $(for i in 1 2 3 4 5; do frame tb$i; done)
for i in 1 2 3 4 5; do convert "$(frame tb$i)" -rotate 90 "$(frame tv$i)"; done
stack trackthumbvert.bmp $(for i in 1 2 3 4 5; do frame tv$i; done)

# Tabs: 5 frames of 12 x 20 (normal, hot, selected, disabled, focused), open at the bottom.
tab() { # name border fill top-accent
  convert -size 12x20 "xc:$3" +antialias -fill "$2" -draw 'rectangle 0,0 11,0' \
    -draw 'rectangle 0,0 0,19' -draw 'rectangle 11,0 11,19' -fill "$4" -draw 'rectangle 1,1 10,1' \
    "$(frame "$1")"
}
tab ta1 "$line" "$fill" "$fill"; tab ta2 "$line_hot" "$fill_hot" "$line_hot"
tab ta3 "$line" "$face" "$slate"; tab ta4 "$line_off" "$fill_off" "$fill_off"
tab ta5 "$line" "$face" "$slate"
stack tabitem.bmp $(for i in 1 2 3 4 5; do frame ta$i; done)
boxed tp 12 12 "$line" "$face"
out=tabpane.bmp; bmp "$(frame tp)"

# Header items: 3 frames of 12 x 20 (normal, hot, pressed), a divider on the right.
header() { # name fill
  convert -size 12x20 "xc:$2" +antialias -fill "$line_off" -draw 'rectangle 11,3 11,16' \
    -fill "$line" -draw 'rectangle 0,19 11,19' "$(frame "$1")"
}
header h1 '#F7F9FA'; header h2 "$fill_hot"; header h3 "$fill_down"
stack headeritem.bmp "$(frame h1)" "$(frame h2)" "$(frame h3)"
# The header's area right of its last item: the item face and bottom line, no divider.
convert -size 12x20 "xc:#F7F9FA" +antialias -fill "$line" -draw 'rectangle 0,19 11,19' "$(frame hb)"
out=headerback.bmp; bmp "$(frame hb)"

# Spin and drop-down buttons: 4 frames of 15 x 11 (normal, hot, pressed, disabled).
# Spin halves: 4 frames, wide ones for the halves one above the other, tall ones for the
# halves side by side, so the triangle keeps its shape when the half is stretched.
spin() { # file triangle width height
  arrow u1 "$fill" "$2" '#5E6E7C'; arrow u2 "$fill_hot" "$2" "$slate"
  arrow u3 "$fill_down" "$2" "$slate_line"; arrow u4 "$fill_off" "$2" "$line_off"
  for i in 1 2 3 4; do
    convert "$(frame u$i)" -gravity center -crop "$3x$4+0+0" +repage +antialias -fill none \
      -stroke "$line" -draw "rectangle 0,0 $(($3 - 1)),$(($4 - 1))" "$(frame v$i)"
  done
  stack "$1" $(for i in 1 2 3 4; do frame v$i; done)
}
spin spinup.bmp "$up" 15 11; spin spindown.bmp "$down" 15 11
spin spinleft.bmp "$left" 11 15; spin spinright.bmp "$right" 11 15
# The combo box's drop-down button: 4 frames of 17 x 17.
n=0
for c in "$fill:#5E6E7C" "$fill_hot:$slate" "$fill_down:$slate_line" "$fill_off:$line_off"; do
  n=$((n + 1)); arrow d$n "${c%%:*}" "$down" "${c##*:}"
done
stack dropdown.bmp $(for i in 1 2 3 4; do frame d$i; done)

# Toolbar buttons: 6 frames of 12 x 12 (normal, hot, pressed, disabled, checked, hot checked).
boxed o1 12 12 "$face" "$face"; boxed o2 12 12 "$line_hot" "$fill_hot"
boxed o3 12 12 "$line_down" "$fill_down"; boxed o4 12 12 "$face" "$face"
boxed o5 12 12 "$line" "$fill_down"; boxed o6 12 12 "$line_hot" "$fill_down"
stack toolbarbutton.bmp $(for i in 1 2 3 4 5 6; do frame o$i; done)
# The arrow part of split buttons: the same six frames, 13 x 22, with a small down triangle.
toolbar_arrow() { # name border fill triangle-colour
  convert -size 13x22 "xc:$3" +antialias -fill none -stroke "$2" -draw 'rectangle 0,0 12,21' \
    -stroke none -fill "$4" -draw 'polygon 4,10 8,10 6,12' "$(frame "$1")"
}
toolbar_arrow dd1 "$face" "$face" '#5E6E7C'; toolbar_arrow dd2 "$line_hot" "$fill_hot" "$slate"
toolbar_arrow dd3 "$line_down" "$fill_down" "$slate_line"; toolbar_arrow dd4 "$face" "$face" "$line_off"
toolbar_arrow dd5 "$line" "$fill_down" "$slate"; toolbar_arrow dd6 "$line_hot" "$fill_down" "$slate"
stack toolbardropdown.bmp $(for i in 1 2 3 4 5 6; do frame dd$i; done)
# Toolbar separators: an etched line, drawn at its true size.
convert -size 2x18 "xc:#FFFFFF" -fill "$line_off" -draw 'rectangle 0,0 0,17' "$(frame sep)"
out=toolbarseparator.bmp; bmp "$(frame sep)"

# Status bar gripper: the size box's dots.
out=statusgripper.bmp; bmp "$(frame z1)"

# The texture of tabbed property pages: the dialog face with a faint diagonal weave.
convert -size 4x4 "xc:$face" -fill '#E7EBEF' -draw 'point 0,0' -draw 'point 2,2' \
  -fill '#F3F5F7' -draw 'point 2,0' -draw 'point 0,2' "$(frame tb)"
out=tabbody.bmp; bmp "$(frame tb)"
