# bash completion for velmora                              -*- shell-script -*-
#
# The desktop program takes one file: a project (*.vmprj), a loader
# (LOADING.KWI) or a unit (*.BIN); or --help or --version.

_velmora() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
    return
  fi
  compopt -o filenames 2>/dev/null
  local extglob_was IFS=$'\n'
  extglob_was=$(shopt -p extglob)
  shopt -s extglob
  COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X '!*.@(vmprj|[Kk][Ww][Ii]|[Bb][Ii][Nn])' -- "$cur"))
  eval "$extglob_was"
}

complete -F _velmora velmora
