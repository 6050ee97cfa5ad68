#!/usr/bin/env bash
# The installed manuals: man renders them without warnings within 80
# columns, they have the sections a reader looks for, velmora-cli(1) covers
# every command and option that the installed program has, and its example
# session runs as printed.
set -euo pipefail
prefix=$1 version=$2
source "$(dirname "$0")/lib.sh"
man1=$prefix/share/man/man1
cli=$prefix/bin/velmora-cli

# Without a terminal, man gives plain text.
render() { MANWIDTH=80 man -l "$1" 2>/dev/null | cat; }

for page in velmora velmora-cli; do
  file=$man1/$page.1.gz
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "$page(1) renders with warnings: $warnings"
  text=$(render "$file")
  for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    grep -qx "$heading" <<<"$text" || fail "$page(1) has no $heading section"
  done
  grep -q "^$page $version " <<<"$text" || fail "$page(1) is not the manual of version $version"
  long=$(awk 'length > 80' <<<"$text")
  [[ -z $long ]] || fail "$page(1) has lines wider than 80 columns: $long"
done

text=$(render "$man1/velmora-cli.1.gz")
grep -qx COMMANDS <<<"$text" || fail "velmora-cli(1) has no COMMANDS section"
commands=$("$cli" --help | awk '/^Commands:$/ { on = 1; next } on && !NF { exit } on { print $1 }')
[[ -n $commands ]] || fail "velmora-cli --help lists no commands"
for c in $commands; do
  grep -qx "   $c" <<<"$text" || fail "velmora-cli(1) has no section for the command $c"
  for opt in $("$cli" "$c" --help | grep -oE -- '(^|[ [(,])--?[a-z][a-z0-9-]*' | grep -oE -- '--?[a-z][a-z0-9-]*' | sort -u); do
    grep -qe "$opt" <<<"$text" || fail "velmora-cli(1) does not mention $opt of $c"
  done
done
# Backslashes in a command's help reach the page as they are.
grep -qF '\n, \r, \t and \\' <<<"$text" || fail "the escapes of 'phrases --help' are lost"

# The example session, run in a scratch folder with the installed program.
session=$(awk '/^EXAMPLES$/ { on = 1; next } /^[A-Z]/ { on = 0 } on && /^ +\$ / { sub(/^ +\$ /, ""); print }' <<<"$text")
[[ $(grep -c velmora-cli <<<"$session") -ge 5 ]] || fail "the example session is missing: $session"
mkdir -p "$scratch/session" "$scratch/home"
while IFS= read -r line; do
  (cd "$scratch/session" && clean_env PATH="$prefix/bin:/usr/bin:/bin" bash -c "$line" >/dev/null) ||
    fail "the example step '$line' failed"
done <<<"$session"
[[ -s $scratch/session/out/LOADING.KWI ]] || fail "the example session wrote no loader"
echo "manuals: ok"
