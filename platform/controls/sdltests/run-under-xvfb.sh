#!/bin/sh
# Runs a test program under a throw-away X server when xvfb-run is installed; without it
# the program runs as it is and skips itself when it finds no display.
if command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
fi
echo "run-under-xvfb: xvfb-run is not installed; the test will skip without a display" >&2
exec "$@"
