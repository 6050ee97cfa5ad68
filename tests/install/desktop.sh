#!/usr/bin/env bash
# The menu entry and the AppStream metainfo pass their validators, and they
# fit the installed tree: the program, the icon, the file type, the release.
set -euo pipefail
prefix=$1 version=$2
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
[[ $exec_line == "velmora %f" ]] || fail "Exec is '$exec_line'"
[[ -x $prefix/bin/${exec_line%% *} ]] || fail "Exec names a program that is not installed"
icon=$(key Icon)
[[ -f $prefix/share/icons/hicolor/48x48/apps/$icon.png && -f $prefix/share/icons/hicolor/scalable/apps/$icon.svg ]] ||
  fail "the icon '$icon' is not installed in the hicolor theme"
IFS=';' read -ra types <<<"$(key MimeType)"
[[ ${#types[@]} -gt 0 ]] || fail "the desktop entry names no file type"
for t in "${types[@]}"; do
  grep -q "<mime-type type=\"$t\">" "$prefix/share/mime/packages/velmora.xml" || fail "$t is not defined by velmora.xml"
done

grep -q '<launchable type="desktop-id">velmora.desktop</launchable>' "$metainfo" || fail "the metainfo launches another entry"
grep -q "<release version=\"$version\" " "$metainfo" || fail "the metainfo's release is not $version"
for b in velmora velmora-cli; do
  grep -q "<binary>$b</binary>" "$metainfo" || fail "the metainfo does not provide $b"
done
echo "desktop entry and metainfo: ok"
