#!/usr/bin/env bash
# Installs the programs of BUILD under PREFIX (made absolute, as the menu
# entry names the program by its full path) and brings the prefix's
# file-type and menu databases up to date, so that a double click on a
# project or a loader opens it.
set -euo pipefail
build=$1
prefix=$(realpath -m "$2")
cmake --install "$build" --prefix "$prefix" --strip
if command -v update-mime-database >/dev/null; then update-mime-database "$prefix/share/mime"; fi
if command -v update-desktop-database >/dev/null; then update-desktop-database "$prefix/share/applications"; fi
