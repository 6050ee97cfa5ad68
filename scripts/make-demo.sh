#!/usr/bin/env bash
# Creates the demo loader, its APM unit and a demo project made from that
# unit, each only when it is missing.
set -euo pipefail
build=$1; demo=$2
mkdir -p "$demo"
if [ ! -f "$demo/LOADING.KWI" ] || [ ! -f "$demo/APM.BIN" ]; then
  "$build/velmora-cli" make-sample "$demo"
fi
if [ ! -f "$demo/Demo.vmprj" ]; then
  "$build/velmora-cli" new "$demo/LOADING.KWI" -o "$demo/Demo.vmprj" --yes
fi
