#!/usr/bin/env bash
# Removes from PREFIX what `make install` put there. The list of files is
# what the install rules of BUILD write, found by installing once more into
# a scratch folder; Velmora's own folders (share/doc/velmora) go when they
# are left empty, and the prefix's file-type and menu databases are brought
# up to date. Files that are not there are passed over.
set -euo pipefail
build=$1
prefix=$(realpath -m "$2")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if ! DESTDIR=$scratch cmake --install "$build" --prefix "$prefix" >"$scratch.log" 2>&1; then
  cat "$scratch.log" >&2
  rm -f "$scratch.log"
  echo "uninstall.sh: $build holds no build to take the list of installed files from; build first (make build)" >&2
  exit 1
fi
rm -f "$scratch.log"

staged=$scratch$prefix
removed=0
while IFS= read -r -d '' file; do
  if [[ -e $prefix/$file || -L $prefix/$file ]]; then
    rm -f "$prefix/$file"
    removed=$((removed + 1))
  fi
done < <(cd "$staged" && find . \( -type f -o -type l \) -printf '%P\0')
while IFS= read -r -d '' dir; do
  [[ -d $prefix/$dir ]] && rmdir --ignore-fail-on-non-empty "$prefix/$dir"
done < <(cd "$staged" && find . -depth -type d -name '*velmora*' -printf '%P\0')

if [[ -d $prefix/share/mime/packages ]] && command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime"
fi
if [[ -d $prefix/share/applications ]] && command -v update-desktop-database >/dev/null; then
  update-desktop-database "$prefix/share/applications"
fi
echo "Removed $removed files of Velmora from $prefix"
