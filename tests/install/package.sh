#!/usr/bin/env bash
# The Debian package as CPack builds it: lintian finds no error in it; its
# name, its control fields (with the shared libraries dpkg-shlibdeps found,
# the CJK font recommended, a Homepage, a Description whose lines lintian
# cannot take for control lines), no maintainer scripts, the same files as
# an installation under /usr, the copyright file and changelog Debian asks
# for, and hardened programs that run from it.
set -euo pipefail
build=$1 version=$2
source "$(dirname "$0")/lib.sh"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >/dev/null || fail "cpack failed"
deb=$scratch/velmora_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $(basename "$deb"): $(ls "$scratch")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == velmora ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture: $(field Architecture)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ -n $(field Section) ]] || fail "no Section"
[[ $(field Recommends) == *fonts-droid-fallback* ]] || fail "Recommends: $(field Recommends)"
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
  [[ ", $depends," == *", $lib "* || ", $depends," == *", $lib,"* ]] || fail "Depends lacks $lib: $depends"
done
[[ $(field Homepage) == https://* ]] || fail "Homepage: $(field Homepage)"
description=$(field Description)
[[ $description == *LOADING.KWI* && $description == *PO* && $description == *XLIFF* &&
  $(wc -l <<<"$description") -gt 2 ]] || fail "Description: $description"
# After the synopsis, a line that begins with a dot is a control line: only
# " ." (an empty line) is one.
bad=$(sed 1d <<<"$description" | grep -E '^ *\.' | grep -vx ' \.' || true)
[[ -z $bad ]] || fail "Description lines begin with a dot: $bad"

info=$(dpkg-deb -I "$deb")
for script in preinst postinst prerm postrm; do
  ! grep -qw "$script" <<<"$info" || fail "the package has a $script script"
done

listing=$(dpkg-deb -c "$deb")
diff -u <(installed_files | sed 's|^|usr/|' | sort) \
  <(awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | sort) ||
  fail "the package's files differ from an installation (- expected, + packaged)"
bad=$(awk '$2 != "root/root" || ($1 !~ /^d/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x")' <<<"$listing")
[[ -z $bad ]] || fail "owners or modes are off: $bad"
modes=$(awk '$6 ~ /usr\/bin\/./ { print $1 }' <<<"$listing" | sort -u)
[[ $modes == "-rwxr-xr-x" ]] || fail "the programs are not executable: $modes"

dpkg-deb -x "$deb" "$scratch/root"
[[ $(file -b "$scratch/root/usr/bin/velmora-cli") == *", stripped"* ]] || fail "velmora-cli is not stripped"
hardened "$scratch/root/usr/bin/velmora" "$scratch/root/usr/bin/velmora-cli"
[[ $(grep '^Exec=' "$scratch/root/usr/share/applications/velmora.desktop") == "Exec=/usr/bin/velmora %f" ]] ||
  fail "the packaged menu entry starts $(grep '^Exec=' "$scratch/root/usr/share/applications/velmora.desktop")"

# The copyright file in the machine-readable format, with the licence's
# terms; the changelog of this version, released on the metainfo's date.
doc=$scratch/root/usr/share/doc/velmora
copyright=$(<"$doc/copyright")
[[ $copyright == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"* ]] ||
  fail "the copyright file is not machine-readable: ${copyright%%$'\n'*}"
grep -qx 'License: MIT' <<<"$copyright" && grep -qF ' Permission is hereby granted' <<<"$copyright" ||
  fail "the copyright file lacks the MIT licence's terms"
zcat "$doc/changelog.gz" >"$scratch/changelog"
[[ $(dpkg-parsechangelog -l "$scratch/changelog" -S Version) == "$version" ]] ||
  fail "the changelog's last entry is $(dpkg-parsechangelog -l "$scratch/changelog" -S Version), not $version"
released=$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' "$scratch/root/usr/share/metainfo/org.velmora.velmora.metainfo.xml")
[[ $(date -u -d "$(dpkg-parsechangelog -l "$scratch/changelog" -S Date)" +%F) == "$released" ]] ||
  fail "the changelog's date is not the release date $released"

# lintian: no error, no warning.
command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps.sh installs it)"
report=$(lintian --no-tag-display-limit "$deb" 2>&1 | grep -v '^running with root privileges' || true)
! grep -qE '^[EW]: ' <<<"$report" || fail "lintian:"$'\n'"$report"
mkdir -p "$scratch/home"
[[ $(clean_env "$scratch/root/usr/bin/velmora-cli" --version) == "velmora-cli $version" ]] || fail "the packaged velmora-cli does not run"
[[ $(clean_env "$scratch/root/usr/bin/velmora" --version) == "velmora $version" ]] || fail "the packaged velmora does not run"
echo "package $(basename "$deb"): ok"
