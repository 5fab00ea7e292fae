#!/bin/bash
# Writes a picture of the whole X display to $1, with Wine's hidden OpenGL window (which a
# root capture shows black) pasted over the editor view where it belongs.
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
import -window root "$work/root.png"
# NOTE: Wine renders a GL child into an unnamed X window parented under a 1x1 window at
# (-1, -1); the editor is the child of the main window named "Tessmere".
gl_window="$(xwininfo -root -tree | awk '/^ +0x[0-9a-f]+ \(has no name\): \(\)  [0-9]+x[0-9]+\+0\+0  \+-1\+-1/ { print $1 }' | head -1)"
editor_origin="$(xwininfo -root -tree | awk '/"Tessmere": \("tessmere.exe"/ { split($NF, at, "+"); print at[2] "," at[3]; exit }')"
if [ -n "$gl_window" ] && [ -n "$editor_origin" ]; then
    import -window "$gl_window" "$work/gl.png"
    # The client area starts below the title and menu bars; the main window reports it.
    offset_x=$(( ${editor_origin%,*} + 3 ))
    offset_y=$(( ${editor_origin#*,} + 41 ))
    composite -geometry "+${offset_x}+${offset_y}" "$work/gl.png" "$work/root.png" "$out"
else
    cp "$work/root.png" "$out"
fi
