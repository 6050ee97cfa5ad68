#!/usr/bin/env bash
# Creates the demo loader and unit when they are missing.
set -euo pipefail
build=$1; demo=$2
mkdir -p "$demo"
if [ ! -f "$demo/LOADING.KWI" ] || [ ! -f "$demo/APM.BIN" ]; then
  "$build/velmora-cli" make-sample "$demo"
fi
