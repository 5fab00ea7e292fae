#!/bin/bash
# Writes a picture of the whole X display to $1, with Wine's hidden OpenGL window (which a
# root capture does not show) pasted over the editor view where it belongs.
set -euo pipefail
out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
import -window root "$work/root.png"
# NOTE: Wine renders a GL child into an unnamed X window parented under a 1x1 window at
# (-1, -1); the editor is the child of the main window named "Tessmere". Both lines give the
# size and place as WxH+X+Y  +ABSX+ABSY.
tree="$(xwininfo -root -tree)"
read -r gl_window gl_w gl_h <<<"$(awk '/^ +0x[0-9a-f]+ \(has no name\): \(\)  [0-9]+x[0-9]+\+0\+0  \+-1\+-1/ {
    split($(NF - 1), size, "[x+]"); print $1, size[1], size[2]; exit }' <<<"$tree")"
read -r win_x win_y win_w win_h <<<"$(awk '/"Tessmere": \("tessmere.exe"/ {
    split($NF, at, "+"); split($(NF - 1), size, "[x+]"); print at[2], at[3], size[1], size[2]; exit }' <<<"$tree")"

# Where along a one-pixel-wide crop ($1) of the root capture the first run of $2 pixels of one
# colour starts. The root capture shows the editor's area as its plain background, so the run
# of the GL window's height down the window's middle, and of its width across the editor's
# middle, place the client area whatever the frame, caption and menu measure.
first_run() {
    convert "$work/root.png" -crop "$1" -depth 8 txt:- | awk -v need="$2" '
        NR > 1 { run = $NF == last ? run + 1 : 1; last = $NF; if (run == need) { print NR - 1 - need; exit } }'
}

if [ -n "${gl_window:-}" ] && [ -n "${win_x:-}" ]; then
    y="$(first_run "1x${win_h}+$((win_x + win_w / 2))+${win_y}" "$gl_h")"
    x="$(first_run "${win_w}x1+${win_x}+$((win_y + ${y:-0} + gl_h / 2))" "$gl_w")"
fi
if [ -n "${x:-}" ] && [ -n "${y:-}" ]; then
    import -window "$gl_window" "$work/gl.png"
    composite -geometry "+$((win_x + x))+$((win_y + y))" "$work/gl.png" "$work/root.png" "$out"
else
    cp "$work/root.png" "$out"
fi
