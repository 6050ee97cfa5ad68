#!/usr/bin/env bash
# Opens the desktop program on the demo project.
set -euo pipefail
build=$1; demo=$2
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): run 'xvfb-run make run' to start Velmora on a virtual screen." >&2
  exit 1
fi
program="$build/ui/velmora"
if [ ! -x "$program" ]; then
  echo "The desktop program was not built ($program is missing): install Qt 6 (make deps) and build again." >&2
  exit 1
fi
exec "$program" "$(cd "$demo" && pwd)/Demo.vmprj"
