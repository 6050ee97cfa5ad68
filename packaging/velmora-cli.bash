# bash completion for velmora-cli                          -*- shell-script -*-
#
# Commands, options and option values are read from the program's own help
# (velmora-cli --help, velmora-cli COMMAND --help) each time, so every
# command and option of the installed program is offered. File names are
# offered by what an argument holds: projects (*.vmprj), loaders (*.KWI),
# units (*.BIN), phrase files (*.txt, *.po, *.xlf, *.xliff), translation
# memories (*.tmx), glossaries (*.tbx, *.tsv, *.txt, *.xml) and folders; a
# value is chosen from the names the help lists for it.

# The names listed under "Commands:" in the overview.
_velmora_cli_commands() {
  "$1" --help 2>/dev/null | awk '/^Commands:$/ { on = 1; next } on && !NF { exit } on { print $1 }'
}

# The code-page names listed under "Code pages" in the overview.
_velmora_cli_codepages() {
  "$1" --help 2>/dev/null | awk '/^Code pages/ { on = 1; next } on && !NF { exit } on { print }'
}

# A command's options from its help on standard input, one per line, the
# fields separated by the byte 1F (a tab would let an empty field vanish):
# NAME, its value's placeholder (empty for a flag), its description joined
# into one line, and the names its value is chosen from when the usage
# lists them ("--encoding utf-8|utf-16|8bit").
_velmora_cli_options() {
  awk '
    function note(opt, ph, desc, names) {
      if (!(opt in seen)) { seen[opt] = 1; order[++n] = opt }
      if (ph != "" && ph_of[opt] == "") ph_of[opt] = ph
      if (desc != "" && desc_of[opt] == "") desc_of[opt] = desc
      if (names != "" && names_of[opt] == "") names_of[opt] = names
    }
    function bare(w) { gsub(/[][()|]/, "", w); return w }
    function flush(   i) { for (i = 1; i <= k; i++) note(item[i], item_ph, item_desc, ""); k = 0 }
    # The usage, with the lines that continue it.
    NR == 1 && /^Usage:/ { usage = 1 }
    usage && !NF { usage = 0 }
    usage {
      for (i = 1; i <= NF; i++) {
        w = bare($i)
        if (w !~ /^--?[A-Za-z]/) continue
        v = (i < NF && $i !~ /[])]$/) ? $(i + 1) : ""
        gsub(/[][()]/, "", v)
        if (v ~ /^[a-z0-9-]+(\|[a-z0-9-]+)+$/) { gsub(/\|/, " ", v); note(w, "", "", v) }
        else note(w, v ~ /^[A-Z]/ ? bare(v) : "", "", "")
      }
      next
    }
    /^[ \t]+-/ {
      flush()
      line = $0; sub(/^[ \t]+/, "", line)
      indent = length($0) - length(line)
      term = line; item_desc = ""
      if (match(line, /  +/)) { term = substr(line, 1, RSTART - 1); item_desc = substr(line, RSTART + RLENGTH) }
      item_ph = ""
      m = split(term, words, /[ ,]+/)
      for (i = 1; i <= m; i++) {
        w = words[i]
        if (w ~ /^--?[A-Za-z]/) {
          if (w ~ /=/) { if (item_ph == "") item_ph = substr(w, index(w, "=") + 1); w = substr(w, 1, index(w, "=") - 1) }
          item[++k] = w
        } else if (item_ph == "" && w != "") item_ph = w
      }
      next
    }
    k && /^[ \t]+[^ \t-]/ && match($0, /[^ \t]/) && RSTART - 1 > indent {
      line = $0; sub(/^[ \t]+/, "", line); item_desc = item_desc " " line; next
    }
    { flush() }
    END {
      flush()
      for (i = 1; i <= n; i++)
        printf "%s\037%s\037%s\037%s\n", order[i], ph_of[order[i]], desc_of[order[i]], names_of[order[i]]
    }'
}

# The placeholders of a command's positional arguments, from its usage line
# ($1) and the command's name ($2), into the array _velmora_cli_positional.
_velmora_cli_positionals() {
  local -a w
  read -ra w <<<"$1"
  _velmora_cli_positional=()
  local i after="" word
  for ((i = 1; i < ${#w[@]}; i++)); do
    if [[ -z $after ]]; then
      [[ ${w[i]} == "$2" ]] && after=1
      continue
    fi
    word=${w[i]//[][()|]/}
    [[ -z $word || $word == OPTIONS* ]] && continue
    if [[ $word == -* ]]; then
      # An option's value placeholder follows it inside the same brackets.
      local last=${w[i]: -1}
      [[ $last != "]" && $last != ")" && ${w[i + 1]//[][()|]/} == [A-Z]* ]] && ((i++))
      continue
    fi
    _velmora_cli_positional+=("$word")
  done
}

# The kind of a value from its placeholder ($1) and what the help says of
# it ($2: an option's description, or the first paragraph of a command's
# help for its arguments), into _velmora_cli_kind: project, loader, unit,
# source (loader or unit), text (phrase file), memory, glossary, dir, any
# (all of the files above), or none.
_velmora_cli_kind_of() {
  local ph=$1 desc=$2
  case $ph in
    *PROJECT* | *.vmprj) _velmora_cli_kind=project; return ;;
    DIR | *_DIR) _velmora_cli_kind=dir; return ;;
    SOURCE) _velmora_cli_kind=source; return ;;
    *LOADING.KWI* | *.KWI) _velmora_cli_kind=loader; return ;;
    *.BIN) _velmora_cli_kind=unit; return ;;
    *.tmx) _velmora_cli_kind=memory; return ;;
    FILE | OUT | PATH | BUILT | *FILE | *FILE...) ;;
    *) _velmora_cli_kind=none; return ;;
  esac
  local unit="" loader=""
  case $desc in
    *TMX*)
      _velmora_cli_kind=memory
      return
      ;;
    *TBX*)
      _velmora_cli_kind=glossary
      return
      ;;
    *text\ file* | *phrase\ file* | *[Pp][Oo]\ file* | *XLIFF* | *.txt* | *.po* | *.xlf*)
      _velmora_cli_kind=text
      return
      ;;
  esac
  [[ $desc == *.BIN* ]] && unit=1
  [[ $desc == *loader* || $desc == *LOADING.KWI* ]] && loader=1
  if [[ -n $unit && -n $loader ]]; then
    _velmora_cli_kind=source
  elif [[ -n $unit ]]; then
    _velmora_cli_kind=unit
  elif [[ -n $loader ]]; then
    _velmora_cli_kind=loader
  elif [[ $desc == *project* ]]; then
    _velmora_cli_kind=project
  else
    _velmora_cli_kind=any
  fi
}

# Offers the files of a kind (and folders to reach them) for the word $cur.
_velmora_cli_files() {
  local kind=$1 ext
  case $kind in
    project) ext='vmprj' ;;
    loader) ext='[Kk][Ww][Ii]' ;;
    unit) ext='[Bb][Ii][Nn]' ;;
    source) ext='[Kk][Ww][Ii]|[Bb][Ii][Nn]' ;;
    text) ext='[Tt][Xx][Tt]|[Pp][Oo]|[Xx][Ll][Ff]|[Xx][Ll][Ii][Ff][Ff]' ;;
    memory) ext='[Tt][Mm][Xx]' ;;
    glossary) ext='[Tt][Bb][Xx]|[Tt][Ss][Vv]|[Tt][Xx][Tt]|[Xx][Mm][Ll]' ;;
    any) ext='vmprj|[Kk][Ww][Ii]|[Bb][Ii][Nn]|[Tt][Xx][Tt]|[Pp][Oo]|[Xx][Ll][Ff]|[Xx][Ll][Ii][Ff][Ff]|[Tt][Mm][Xx]|[Tt][Bb][Xx]|[Tt][Ss][Vv]' ;;
    dir) ext='' ;;
    *) return ;;
  esac
  compopt -o filenames 2>/dev/null
  local had_extglob=1 IFS=$'\n'
  shopt -q extglob || had_extglob=""
  shopt -s extglob
  COMPREPLY+=($(compgen -d -- "$cur"))
  [[ -n $ext ]] && COMPREPLY+=($(compgen -f -X "!*.@($ext)" -- "$cur"))
  [[ -n $had_extglob ]] || shopt -u extglob
}

_velmora_cli() {
  local cur prev words cword _velmora_cli_kind
  if declare -F _init_completion >/dev/null; then
    _init_completion -n = || return
  else
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi
  COMPREPLY=()
  local cli=${words[0]}
  command -v -- "$cli" >/dev/null 2>&1 || cli=velmora-cli

  # "--option=value": complete the value after the "=".
  local optword=""
  if [[ $cur == --*=* ]]; then
    optword=${cur%%=*}
    cur=${cur#*=}
  elif [[ $cur == = && $prev == --* ]]; then
    optword=$prev
    cur=""
  elif [[ $prev == = && $cword -ge 2 && ${words[cword - 2]} == --* ]]; then
    optword=${words[cword - 2]}
  fi

  # The command is the first word after the program's name.
  local cmd="" i
  for ((i = 1; i < cword; i++)); do
    if [[ ${words[i]} != -* ]]; then
      cmd=${words[i]}
      break
    fi
  done
  if [[ -z $cmd ]]; then
    if [[ $cur == -* ]]; then
      COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
    else
      COMPREPLY=($(compgen -W "$(_velmora_cli_commands "$cli")" -- "$cur"))
    fi
    return
  fi

  local help
  help=$("$cli" "$cmd" --help 2>/dev/null)
  local -A placeholder description names
  local o p d c
  while IFS=$'\037' read -r o p d c; do
    placeholder[$o]=$p
    description[$o]=$d
    names[$o]=$c
  done < <(_velmora_cli_options <<<"$help")

  # The value of an option.
  [[ -z $optword && $prev == -* && -n ${placeholder[$prev]}${names[$prev]} ]] && optword=$prev
  if [[ -n $optword ]]; then
    local choices=${names[$optword]}
    if [[ -n $choices ]]; then
      :
    elif [[ $optword == *codepage* ]]; then
      choices=$(_velmora_cli_codepages "$cli")
    else
      # A description that is a list of names: "all (default), no-hidden or final".
      local list=${description[$optword]}
      while [[ $list =~ ^(.*[^ ]|)\ *\([^\)]*\)(.*)$ ]]; do
        list=${BASH_REMATCH[1]}${BASH_REMATCH[2]}
      done
      if [[ $list =~ ^\ *([a-z0-9-]+(,\ +[a-z0-9-]+)*,?\ +or\ +[a-z0-9-]+)\ *$ ]]; then
        choices=${BASH_REMATCH[1]//,/ }
        choices=${choices/ or / }
      fi
    fi
    if [[ -n $choices ]]; then
      COMPREPLY=($(compgen -W "$choices" -- "$cur"))
    else
      _velmora_cli_kind_of "${placeholder[$optword]}" "${description[$optword]}"
      _velmora_cli_files "$_velmora_cli_kind"
    fi
    return
  fi

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "${!placeholder[*]} --help" -- "$cur"))
    return
  fi

  # A positional argument: count the ones before it, skipping option values.
  local n=0
  for ((i = i + 1; i < cword; i++)); do
    local w=${words[i]}
    if [[ $w == -* ]]; then
      if [[ $w != *=* && -n ${placeholder[$w]}${names[$w]} ]]; then
        ((i++))
        [[ ${words[i]} == = ]] && ((i++))  # "--option = value" as COMP_WORDS splits it
      fi
    elif [[ $w != = ]]; then
      ((n++))
    fi
  done
  local -a _velmora_cli_positional
  _velmora_cli_positionals "${help%%$'\n'*}" "$cmd"
  local ph="" count=${#_velmora_cli_positional[@]}
  if ((n < count)); then
    ph=${_velmora_cli_positional[n]}
  elif ((count)) && [[ ${_velmora_cli_positional[count - 1]} == *... ]]; then
    ph=${_velmora_cli_positional[count - 1]}
  fi
  # What the command does with its arguments: the help's first paragraph.
  local about=${help#*$'\n\n'}
  about=${about%%$'\n\n'*}
  _velmora_cli_kind_of "${ph%...}" "${about//$'\n'/ }"
  _velmora_cli_files "$_velmora_cli_kind"
}

complete -F _velmora_cli velmora-cli
