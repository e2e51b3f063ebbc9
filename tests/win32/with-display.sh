#!/bin/sh
# with-display.sh PROGRAM [ARGS]: runs a Windows program that opens windows
# (under Wine) on the display in DISPLAY, else on a virtual one of its own
# (xvfb-run, Debian package xvfb). With neither it says why it is skipped,
# in GoogleTest's words, which CTest counts as a skip.
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
if command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$@"
fi
echo "[  SKIPPED ] no display: DISPLAY is not set and xvfb-run (Debian package xvfb) is not installed"
exit 0
