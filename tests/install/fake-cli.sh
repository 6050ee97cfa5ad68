#!/usr/bin/env bash
# A stand-in for velmora-cli whose help texts hold what roff would take for
# its own: lines that begin with a dot or a quote, backslashes, tabs, and
# UTF-8 text; and command lines under "Examples:" that must keep their lines.
if [[ $1 == --help ]]; then
  printf 'Usage: fake-cli COMMAND\n\nCommands:\n  carry         carry translations over\n  verify        check a file\n\n'
  exit 0
fi
case $1 in
  carry)
    printf 'Usage: fake-cli carry OLD.vmprj NEW.vmprj [--force]\n  or:  fake-cli carry --list\n\n'
    printf '.hidden begins with a dot\n'"'"'quoted begins with a quote\nПеревод «в кавычках»\n\n'
    printf 'Options:\n  --force        replace NEW.vmprj\n  --format=FMT   po, xliff or txt;\n\t\t a tabbed continuation\n\n'
    printf 'Examples:\n  fake-cli carry --list\n  fake-cli carry "old one.vmprj" new.vmprj --force\n' ;;
  verify)
    printf 'Usage: fake-cli verify FILE\n\nShows \\n, \\t and \\\\ as they are.\n' ;;
  *) exit 2 ;;
esac
