#!/usr/bin/env bash
# Translation memories of velmora-cli checked by the tools translators use:
# xmllint, GNU gettext's msgfmt, and translate-toolkit's TMX and PO readers
# and po2tmx.
# $1: path of the velmora-cli program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$1"
for tool in po2tmx msgfmt xmllint; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done
# translate-toolkit's modules live with the system's Python.
for py in /usr/bin/python3 python3; do
  if "$py" -c "import translate.storage.tmx" 2>/dev/null; then
    exec "$py" "$here/memory_tools.py" --cli "$cli"
  fi
done
echo "translate-toolkit's Python modules are missing: run scripts/install-deps.sh" >&2
exit 1
