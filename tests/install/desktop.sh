#!/usr/bin/env bash
# The menu entry and the AppStream metainfo pass their validators, and they
# fit the installed tree: the program by its full path, the icon, the file
# types, the release. The entry starts the program from a prefix that is in
# no PATH and whose path needs quoting, as the desktop starts it (GLib).
set -euo pipefail
prefix=$1 version=$2 build=$3
source "$(dirname "$0")/lib.sh"
desktop=$prefix/share/applications/velmora.desktop
metainfo=$prefix/share/metainfo/org.velmora.velmora.metainfo.xml

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[[ -z $out ]] || fail "desktop-file-validate has remarks: $out"
out=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
! grep -Eq '^[EWIP]: ' <<<"$out" || fail "appstreamcli validate has remarks: $out"

key() { sed -n "s/^$1=//p" "$desktop"; }
for k in Name 'Name\[ru\]' Comment 'Comment\[ru\]'; do
  [[ -n $(key "$k") ]] || fail "the desktop entry has no $k"
done
[[ $(key 'Name\[ru\]') != "$(key Name)" && $(key 'Comment\[ru\]') != "$(key Comment)" ]] ||
  fail "the Russian name and comment are the English ones"
exec_line=$(key Exec)
[[ $exec_line == "$prefix/bin/velmora %f" ]] || fail "Exec is '$exec_line', not the installed program by its full path"
icon=$(key Icon)
[[ -f $prefix/share/icons/hicolor/48x48/apps/$icon.png && -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
  fail "the icon '$icon' is not installed in the hicolor theme"
IFS=';' read -ra types <<<"$(key MimeType)"
[[ " ${types[*]} " == *" application/x-velmora-project "* && " ${types[*]} " == *" application/x-kiwi-loader "* ]] ||
  fail "the desktop entry does not open projects and loaders: ${types[*]}"
for t in "${types[@]}"; do
  grep -q "<mime-type type=\"$t\">" "$prefix/share/mime/packages/velmora.xml" || fail "$t is not defined by velmora.xml"
  grep -q "<mediatype>$t</mediatype>" "$metainfo" || fail "the metainfo does not name $t"
done

grep -q '<launchable type="desktop-id">velmora.desktop</launchable>' "$metainfo" || fail "the metainfo launches another entry"
grep -q "<release version=\"$version\" " "$metainfo" || fail "the metainfo's release is not $version"
for b in velmora velmora-cli; do
  grep -q "<binary>$b</binary>" "$metainfo" || fail "the metainfo does not provide $b"
done

# A prefix with a blank and a dollar sign, its program replaced by one that
# records how it was started; GLib reads the entry and starts it with a file.
odd="$scratch/My \$prefix"
cmake --install "$build" --prefix "$odd" >/dev/null
out=$(desktop-file-validate "$odd/share/applications/velmora.desktop" 2>&1) || fail "desktop-file-validate: $out"
printf '#!/bin/sh\nprintf "%%s\\n" "$0" "$@" >"%s/started.tmp" && mv "%s/started.tmp" "%s/started"\n' \
  "$scratch" "$scratch" "$scratch" >"$odd/bin/velmora"
touch "$scratch/My LOADING.KWI"
mkdir -p "$scratch/home"
clean_env gio launch "$odd/share/applications/velmora.desktop" "$scratch/My LOADING.KWI" ||
  fail "gio cannot start the entry: $(grep Exec "$odd/share/applications/velmora.desktop")"
for _ in $(seq 100); do
  [[ -f $scratch/started ]] && break
  sleep 0.1
done
[[ -f $scratch/started ]] || fail "the entry did not start $odd/bin/velmora"
[[ $(cat "$scratch/started") == "$odd/bin/velmora"$'\n'"$scratch/My LOADING.KWI" ]] ||
  fail "the entry started: $(cat "$scratch/started")"
echo "desktop entry and metainfo: ok"
