#!/usr/bin/env bash
# The installed bash completions, with and without the bash-completion
# package's helpers: commands, options, option values and code pages come
# from the installed program; file names by what the argument holds.
set -euo pipefail
prefix=$1
source "$(dirname "$0")/lib.sh"
completions=$prefix/share/bash-completion/completions

files=$scratch/files
mkdir -p "$files/sub" "$files/My dir"
touch "$files"/{p.vmprj,Q.VMPRJ,LOADING.KWI,loading.kwi,x.BIN,y.bin,p.txt,t.po,t.xlf,t.xliff,other.dat,m.tmx,g.tbx,g.tsv}

# Reads command lines, one per line, typed up to their end, and prints for
# each its sorted candidates joined by "|". A line is split as bash splits
# it, a "=" being a word of its own.
complete_lines() {
  bash -c '
    [[ $1 == yes ]] && source /usr/share/bash-completion/bash_completion
    source "$2/velmora-cli"
    source "$2/velmora"
    declare -A func
    for program in velmora velmora-cli; do
      registration=$(complete -p "$program")
      registration=${registration#*-F }
      func[$program]=${registration%% *}
    done
    joined() { local IFS="|"; echo "$*"; }
    while IFS= read -r line; do
      COMP_LINE=$line
      COMP_POINT=${#line}
      read -ra COMP_WORDS <<<"${line//=/ = }"
      [[ $line == *" " || $line == *= ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMPREPLY=()
      "${func[${COMP_WORDS[0]}]}" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      mapfile -t sorted < <(printf "%s\n" "${COMPREPLY[@]%/}" | sort -u)
      joined "${sorted[@]}"
    done
  ' _ "$1" "$completions"
}

# Exact candidates: the line as typed, " => ", the candidates joined by "|".
cases='velmora-cli b => build-bin|build-loader
velmora-cli - => --help|--version
velmora-cli new --mode  => english|european|japanese
velmora-cli new --mode=j => japanese
velmora-cli new x.BIN --mode=english  => 
velmora-cli export p.vmprj --filter  => all|final|no-hidden|only-edited|to-review|untranslated
velmora-cli phrases p.vmprj --codepage  => arabic|baltic|default|east-europe|greek|japanese|russian|turkish|west-europe
velmora-cli translate --codepage r => russian
velmora-cli phrases  => My dir|p.vmprj|sub
velmora-cli new  => LOADING.KWI|My dir|loading.kwi|sub|x.BIN|y.bin
velmora-cli new x.BIN -o  => My dir|p.vmprj|sub
velmora-cli new x.BIN --output= => My dir|p.vmprj|sub
velmora-cli export p.vmprj -o  => My dir|p.txt|sub|t.po|t.xlf|t.xliff
velmora-cli build-bin p.vmprj -o  => My dir|sub|x.BIN|y.bin
velmora-cli build-loader p.vmprj --source  => LOADING.KWI|My dir|loading.kwi|sub
velmora-cli make-sample  => My dir|sub
velmora-cli info  => LOADING.KWI|My dir|loading.kwi|sub|x.BIN|y.bin
velmora-cli verify p.vmprj  => LOADING.KWI|My dir|loading.kwi|sub|x.BIN|y.bin
velmora-cli import p.vmprj  => My dir|p.txt|sub|t.po|t.xlf|t.xliff
velmora-cli pretranslate p.vmprj --memory  => My dir|m.tmx|sub
velmora-cli suggest p.vmprj 3 --memory=m => m.tmx
velmora-cli memory p.vmprj -o  => My dir|m.tmx|sub
velmora-cli check p.vmprj --glossary  => My dir|g.tbx|g.tsv|p.txt|sub
velmora-cli pretranslate p.vmprj --glossary  => My dir|g.tbx|g.tsv|p.txt|sub
velmora-cli stats  => My dir|p.vmprj|sub
velmora-cli pretranslate p.vmprj --memory m.tmx  => My dir|m.tmx|sub
velmora-cli export p.vmprj --encoding  => 8bit|utf-16|utf-8
velmora-cli translate p.vmprj 3  => 
velmora-cli set p.vmprj --on  => 
velmora-cli phrases My => My dir
velmora  => LOADING.KWI|My dir|loading.kwi|p.vmprj|sub|x.BIN|y.bin
velmora --v => --version'

helpers=(no)
[[ -f /usr/share/bash-completion/bash_completion ]] && helpers+=(yes)
export PATH="$prefix/bin:$PATH"
cd "$files"
commands=$(velmora-cli --help | awk '/^Commands:$/ { on = 1; next } on && !NF { exit } on { print $1 }')
for h in "${helpers[@]}"; do
  mapfile -t got < <({ sed 's/ => .*//' <<<"$cases"; echo "velmora-cli "; echo "velmora-cli new -"; } | complete_lines "$h")
  i=0
  while IFS= read -r case; do
    line=${case%% => *} expected=${case#* => }
    [[ ${got[i]} == "$expected" ]] || fail "[helpers: $h] '$line' offers '${got[i]}', not '$expected'"
    i=$((i + 1))
  done <<<"$cases"

  # Every command of the installed program, and a command's options.
  for c in $commands; do
    [[ "|${got[i]}|" == *"|$c|"* ]] || fail "[helpers: $h] the command $c is not offered: ${got[i]}"
  done
  for o in -o --output --module --unit --mode --no-hide-abc --range --yes --help; do
    [[ "|${got[i + 1]}|" == *"|$o|"* ]] || fail "[helpers: $h] 'new' does not offer $o: ${got[i + 1]}"
  done
done
echo "completion (helpers: ${helpers[*]}): ok"
