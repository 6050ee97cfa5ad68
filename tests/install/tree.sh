#!/usr/bin/env bash
# The installed tree: every file where the desktop and man look for it and
# nothing else, icons of the sizes their folders promise, and both programs
# built hardened and running from the prefix without a display.
set -euo pipefail
prefix=$1 version=$2
source "$(dirname "$0")/lib.sh"

diff -u <(installed_files | sort) <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) ||
  fail "the installed files differ from the expected list (- expected, + installed)"

for f in bin/velmora bin/velmora-cli; do
  [[ -x $prefix/$f ]] || fail "$f is not executable"
done
hardened "$prefix/bin/velmora" "$prefix/bin/velmora-cli"
for size in 32 48 128 256; do
  for icon in apps/velmora mimetypes/application-x-velmora-project; do
    info=$(file -b "$prefix/share/icons/hicolor/${size}x$size/$icon.png")
    [[ $info == "PNG image data, $size x $size, "* ]] || fail "$icon at ${size}x$size is: $info"
  done
done
for icon in apps/velmora mimetypes/application-x-velmora-project; do
  info=$(file -b "$prefix/share/icons/hicolor/scalable/$icon.svg")
  [[ $info == *SVG* ]] || fail "scalable $icon is: $info"
done

# --version and --help need no display: the environment has none.
mkdir -p "$scratch/home"
out=$(clean_env "$prefix/bin/velmora-cli" --version) || fail "velmora-cli --version failed"
[[ $out == "velmora-cli $version" ]] || fail "velmora-cli --version printed: $out"
out=$(clean_env "$prefix/bin/velmora" --version) || fail "velmora --version failed"
[[ $out == "velmora $version" ]] || fail "velmora --version printed: $out"
out=$(clean_env "$prefix/bin/velmora" --help) || fail "velmora --help failed"
[[ $out == "Usage: velmora [FILE]"* ]] || fail "velmora --help printed: ${out%%$'\n'*}"

# The installed velmora-cli does real work.
clean_env "$prefix/bin/velmora-cli" make-sample "$scratch/demo" >/dev/null || fail "make-sample failed"
clean_env "$prefix/bin/velmora-cli" new "$scratch/demo/APM.BIN" -o "$scratch/apm.vmprj" --yes >/dev/null ||
  fail "new failed"
[[ -s $scratch/apm.vmprj ]] || fail "no project was written"
echo "installed tree: ok"
