#!/usr/bin/env bash
# The COMMANDS section that the manual of velmora-cli gets from the commands'
# help texts, made from a stand-in program whose texts roff would misread:
# every line reaches the rendered page, without warnings.
set -euo pipefail
source_dir=$1
source "$(dirname "$0")/lib.sh"

python3 "$source_dir/packaging/man-commands.py" "$source_dir/tests/install/fake-cli.sh" "$scratch/commands.h2m"
{
  printf '.TH FAKE\\-CLI 1\n.SH COMMANDS\n'
  sed 1d "$scratch/commands.h2m"
} >"$scratch/fake-cli.1"
warnings=$(MANWIDTH=80 LANG=C.UTF-8 man --warnings -l "$scratch/fake-cli.1" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "the page renders with warnings: $warnings"
page=$(MANWIDTH=80 LANG=C.UTF-8 man -l "$scratch/fake-cli.1")
# The example command lines each on a line of their own, as typed, set in
# from their heading.
heading=$(grep -x ' *Examples:' <<<"$page") || fail "no Examples: heading:"$'\n'"$page"
for line in 'fake-cli carry --list' 'fake-cli carry "old one.vmprj" new.vmprj --force'; do
  grep -qxF -- "$(printf '%*s' $((${#heading} - 9 + 4)) '')$line" <<<"$page" ||
    fail "the example '$line' is not a line of its own, 4 columns in from its heading:"$'\n'"$page"
done
# One line with single blanks, so that filling does not matter.
text=$(tr -s ' \n' '  ' <<<"$page")

while IFS= read -r expected; do
  grep -qF -- "$expected" <<<"$text" || fail "the page lacks '$expected':"$'\n'"$text"
done <<'EXPECTED'
 carry
 verify
fake-cli carry OLD.vmprj NEW.vmprj [--force]
fake-cli carry --list
.hidden begins with a dot
'quoted begins with a quote
Перевод «в кавычках»
--format=FMT
po, xliff or txt; a tabbed continuation
Shows \n, \t and \\ as they are.
EXPECTED
echo "commands section: ok"
