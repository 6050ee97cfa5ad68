#!/usr/bin/env bash
# The file types as a desktop sees them: shared-mime-info's database built
# from the installed types, queried through xdg-mime with the prefix's data
# in XDG_DATA_DIRS (through GLib, as GNOME's file manager does), and the
# menu entry as the default program of projects and loaders, but not of the
# data volumes it does not open, nor of a .BIN.
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

# A real project, loader and unit, and the same bytes under other names.
clean_env "$prefix/bin/velmora-cli" make-sample "$scratch/demo" >/dev/null
clean_env "$prefix/bin/velmora-cli" new "$scratch/demo/APM.BIN" -o "$scratch/files/My project.vmprj" --yes >/dev/null
cp "$scratch/files/My project.vmprj" "$scratch/files/CAPS.VMPRJ"
cp "$scratch/files/My project.vmprj" "$scratch/files/project.dat"
for name in LOADING.KWI loading.kwi ALLDATA1.KWI ALLDATA2.KWI alldata1.kwi REGION1.KWI OTHER.KWI LOADING.KWI.bak; do
  cp "$scratch/demo/LOADING.KWI" "$scratch/files/$name"
done
cp "$scratch/demo/APM.BIN" "$scratch/files/APM.BIN"

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
LOADING.KWI|application/x-kiwi-loader
loading.kwi|application/x-kiwi-loader
ALLDATA1.KWI|application/x-kiwi-volume
ALLDATA2.KWI|application/x-kiwi-volume
alldata1.kwi|application/x-kiwi-volume
REGION1.KWI|application/x-kiwi-volume
OTHER.KWI|not:application/x-kiwi-loader
LOADING.KWI.bak|not:application/x-kiwi-loader
APM.BIN|application/octet-stream
CASES

while IFS='|' read -r type expected; do
  got=$(desktop_env xdg-mime query default "$type") || fail "xdg-mime query default $type failed"
  if [[ $expected == not:* ]]; then
    [[ $got != "${expected#not:}" ]] || fail "$type opens with $got"
  else
    [[ $got == "$expected" ]] || fail "$type opens with '$got', not $expected"
  fi
done <<'CASES'
application/x-velmora-project|velmora.desktop
application/x-kiwi-loader|velmora.desktop
application/x-kiwi-volume|not:velmora.desktop
application/octet-stream|not:velmora.desktop
CASES
echo "file types: ok"
