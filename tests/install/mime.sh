#!/usr/bin/env bash
# The project file type as a desktop sees it: shared-mime-info's database
# built from the installed type, queried through xdg-mime with the prefix in
# XDG_DATA_DIRS (through GLib, as GNOME's file manager does), and the menu
# entry as the type's default program.
set -euo pipefail
prefix=$1
source "$(dirname "$0")/lib.sh"

# A data folder of its own, so the prefix stays as it was installed.
data=$scratch/share
mkdir -p "$data/mime/packages" "$data/applications" "$scratch/home" "$scratch/files"
cp "$prefix/share/mime/packages/velmora.xml" "$data/mime/packages/"
cp "$prefix/share/applications/velmora.desktop" "$data/applications/"
XDG_DATA_DIRS="$data:/usr/share" update-mime-database "$data/mime"
update-desktop-database "$data/applications"

desktop_env() {
  clean_env XDG_DATA_DIRS="$data:/usr/share" XDG_DATA_HOME="$scratch/home/data" \
    XDG_CONFIG_HOME="$scratch/home/config" XDG_CURRENT_DESKTOP=GNOME "$@"
}

# A real project, and the same bytes under other names.
clean_env "$prefix/bin/velmora-cli" make-sample "$scratch/demo" >/dev/null
clean_env "$prefix/bin/velmora-cli" new "$scratch/demo/APM.BIN" -o "$scratch/files/My project.vmprj" --yes >/dev/null
cp "$scratch/files/My project.vmprj" "$scratch/files/CAPS.VMPRJ"
cp "$scratch/files/My project.vmprj" "$scratch/files/project.dat"

while IFS='|' read -r name expected; do
  got=$(desktop_env xdg-mime query filetype "$scratch/files/$name") || fail "xdg-mime failed on $name"
  if [[ $expected == not:* ]]; then
    [[ $got != "${expected#not:}" ]] || fail "$name is taken for $got"
  else
    [[ $got == "$expected" ]] || fail "$name has the type '$got', not $expected"
  fi
done <<'CASES'
My project.vmprj|application/x-velmora-project
CAPS.VMPRJ|not:application/x-velmora-project
project.dat|not:application/x-velmora-project
CASES

got=$(desktop_env xdg-mime query default application/x-velmora-project) || fail "xdg-mime query default failed"
[[ $got == velmora.desktop ]] || fail "projects open with '$got'"
echo "file type: ok"
