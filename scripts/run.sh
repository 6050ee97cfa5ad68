#!/usr/bin/env bash
# Starts the main job on the demo data.
set -euo pipefail
build=$1; demo=$2
"$build/velmora-cli" info "$demo/LOADING.KWI"
