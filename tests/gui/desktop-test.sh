#!/usr/bin/env bash
# Runs the desktop test on a virtual X display of its own; skips (77) where Xvfb or xdotool is
# missing.
#
#   desktop-test.sh <desktop_test binary>
set -euo pipefail
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# No session bus: the window needs none, and Qt's bus thread keeps a buffer that the
# sanitizer build reports as a leak.
exec xvfb-run -a -s '-screen 0 1280x1024x24' env QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 \
  DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$1"
