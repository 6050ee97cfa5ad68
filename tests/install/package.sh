#!/usr/bin/env bash
# The Debian package as CPack builds it: its name, its control fields (with
# the shared libraries dpkg-shlibdeps found and the CJK font recommended),
# no maintainer scripts, the same files as an installation under /usr, and
# programs that run from it.
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
description=$(field Description)
[[ $description == *LOADING.KWI* && $(wc -l <<<"$description") -gt 2 ]] || fail "Description: $description"

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
mkdir -p "$scratch/home"
[[ $(clean_env "$scratch/root/usr/bin/velmora-cli" --version) == "velmora-cli $version" ]] || fail "the packaged velmora-cli does not run"
[[ $(clean_env "$scratch/root/usr/bin/velmora" --version) == "velmora $version" ]] || fail "the packaged velmora does not run"
echo "package $(basename "$deb"): ok"
