#!/usr/bin/env bash
# `make install` and `make uninstall` (their scripts) on a prefix that holds
# other programs' files too: the installation brings the file-type and menu
# databases up to date, and the uninstallation takes away every file it put
# there and Velmora's own folders, keeps the other files, and leaves
# databases that no longer know Velmora.
set -euo pipefail
build=$1 source_dir=$2
source "$(dirname "$0")/lib.sh"
prefix=$scratch/prefix

# Another program's files in the folders Velmora shares.
mkdir -p "$prefix/bin" "$prefix/share/applications" "$prefix/share/mime/packages" "$prefix/share/doc/other"
printf '#!/bin/sh\n' >"$prefix/bin/other"
printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other %%f\nMimeType=text/x-other;\n' \
  >"$prefix/share/applications/other.desktop"
cat >"$prefix/share/mime/packages/other.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/x-other"><comment>Other</comment><glob pattern="*.other"/></mime-type>
</mime-info>
XML
touch "$prefix/share/doc/other/README"
others=$(cd "$prefix" && find . -type f | sort)

bash "$source_dir/scripts/install.sh" "$build" "$prefix" >/dev/null
while IFS= read -r f; do
  [[ -e $prefix/$f ]] || fail "the installation lacks $f"
done < <(installed_files)
grep -q 'application/x-kiwi-loader' "$prefix/share/mime/globs2" || fail "the installation left the file-type database without Velmora's types"
grep -q 'application/x-kiwi-loader=velmora.desktop' "$prefix/share/applications/mimeinfo.cache" ||
  fail "the installation left the menu database without Velmora"

bash "$source_dir/scripts/uninstall.sh" "$build" "$prefix" >/dev/null
while IFS= read -r f; do
  [[ ! -e $prefix/$f ]] || fail "the uninstallation left $f"
done < <(installed_files)
[[ ! -e $prefix/share/doc/velmora ]] || fail "the uninstallation left share/doc/velmora"
while IFS= read -r f; do
  [[ -e $prefix/$f ]] || fail "the uninstallation took away $f"
done <<<"$others"
! grep -rqi 'velmora\|kiwi' "$prefix/share/mime" "$prefix/share/applications" ||
  fail "the databases still know Velmora: $(grep -rli 'velmora\|kiwi' "$prefix/share/mime" "$prefix/share/applications")"
grep -q 'text/x-other' "$prefix/share/mime/globs2" || fail "the file-type database lost the other program's type"

# A second uninstallation finds nothing to take away, and says so.
out=$(bash "$source_dir/scripts/uninstall.sh" "$build" "$prefix") || fail "a second uninstallation failed"
[[ $out == "Removed 0 files of Velmora from $prefix" ]] || fail "a second uninstallation says: $out"
echo "install and uninstall: ok"
