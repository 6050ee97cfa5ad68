#!/usr/bin/env bash
# The command lines the documentation shows work as written: the example
# that ends every command's --help, run in turn as one session, and the
# README's typical job, each in an empty folder with velmora-cli on PATH.
# $1: path of the velmora-cli program.
set -uo pipefail
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
readme="$(cd "$(dirname "$0")/../.." && pwd)/README.md"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$cli" "$work/bin/velmora-cli"
export PATH="$work/bin:$PATH"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Runs a documented command line in the current folder.
step() {
  local out
  out=$(bash -c "$1" 2>&1) || fail "'$1' failed: $out"
}

# --- the examples of the commands' help ----------------------------------
# The order of the session, and what a step needs that no example before it
# makes (the newer project that carry takes the translations over to).
session=(make-sample info new phrases export import translate set check memory build-bin build-loader verify carry
  pretranslate suggest stats)
declare -A prepare=([carry]='velmora-cli new demo/APM.BIN -o apm-new.vmprj --yes')

mapfile -t commands < <(velmora-cli --help | awk '/^Commands:$/ { on = 1; next } on && !NF { exit } on { print $1 }')
[[ ${#commands[@]} -gt 0 ]] || fail "velmora-cli --help lists no commands"
for c in "${commands[@]}"; do
  [[ " ${session[*]} " == *" $c "* ]] || fail "the example of $c has no place in the session of this test"
done
mkdir "$work/session"
cd "$work/session"
for c in "${session[@]}"; do
  help=$(velmora-cli "$c" --help) || { fail "$c --help failed"; continue; }
  # One example, at the end: the heading, then one command line.
  example=$(tail -n 2 <<<"$help")
  heading=${example%%$'\n'*} line=${example#*$'\n'}
  if [[ $heading != "Example:" || $line != "  velmora-cli $c "* ]] ||
    [[ $(grep -c '^Examples\?:$' <<<"$help") -ne 1 ]]; then
    fail "$c --help does not end with one example: ...$example"
    continue
  fi
  [[ -n ${prepare[$c]:-} ]] && step "${prepare[$c]}"
  step "${line#  }"
done

# --- the README's typical job ---------------------------------------------
# The indented lines after "A typical job from the command line:", without
# the comments.
mapfile -t job < <(awk '/^A typical job from the command line:$/ { on = 1; next }
  on && /^    / { sub(/^    /, ""); if ($0 !~ /^#/) print; seen = 1; next }
  on && seen && NF { exit }' "$readme")
[[ ${#job[@]} -ge 5 ]] || fail "the README's typical job is missing: ${job[*]}"
mkdir "$work/readme"
cd "$work/readme"
for line in "${job[@]}"; do
  step "$line"
done
[[ -s out/LOADING.KWI ]] || fail "the README's typical job wrote no out/LOADING.KWI"

if ((failures)); then
  echo "$failures failures"
  exit 1
fi
echo "documented examples: ok"
