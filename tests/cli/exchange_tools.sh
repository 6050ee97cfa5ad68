#!/usr/bin/env bash
# Phrase files of velmora-cli checked by the tools translators use: GNU
# gettext (msgfmt, msgcat, msgmerge), translate-toolkit (pocount, po2xliff
# and its PO and XLIFF readers), xmllint and Python's own XML parser.
# $1: path of the velmora-cli program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$1"
for tool in msgfmt msgcat msgmerge pocount po2xliff xmllint; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/install-deps.sh" >&2; exit 1; }
done
# translate-toolkit's modules live with the system's Python.
for py in /usr/bin/python3 python3; do
  if "$py" -c "import translate.storage.po" 2>/dev/null; then
    exec "$py" "$here/exchange_tools.py" --cli "$cli"
  fi
done
echo "translate-toolkit's Python modules are missing: run scripts/install-deps.sh" >&2
exit 1
