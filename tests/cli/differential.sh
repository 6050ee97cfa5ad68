#!/usr/bin/env bash
# Differential test of velmora-cli against the Python reference model.
# $1: path of the velmora-cli program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$1"
exec python3 "$here/../reference/test_differential.py" --cli "$cli"
