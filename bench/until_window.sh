#!/bin/sh
# Starts a program and ends once a window whose title holds "Keldara" is mapped on the X display
# (what `xdotool search --onlyvisible` sees): the start-up time of a desktop program as the user
# sees it. Usage: until_window.sh PROGRAM [ARG...]   (DISPLAY must name an X server)
"$@" >/dev/null 2>&1 &
program=$!
until xdotool search --onlyvisible --name Keldara >/dev/null 2>&1; do
    kill -0 "$program" 2>/dev/null || exit 1
done
kill "$program"
wait "$program" 2>/dev/null
exit 0
