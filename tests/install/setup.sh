#!/usr/bin/env bash
# Installs the build into a fresh prefix for the other installation tests.
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
