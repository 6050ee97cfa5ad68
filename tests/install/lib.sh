# Shared by the installation tests: failure reports, a scratch folder, and
# the files an installation holds.

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A scratch folder removed when the test ends.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Every file that an installation puts under its prefix, and nothing else.
installed_files() {
  local size
  printf '%s\n' \
    bin/velmora \
    bin/velmora-cli \
    share/applications/velmora.desktop \
    share/metainfo/org.velmora.velmora.metainfo.xml \
    share/mime/packages/velmora.xml \
    share/icons/hicolor/scalable/apps/velmora.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-velmora-project.svg \
    share/man/man1/velmora.1.gz \
    share/man/man1/velmora-cli.1.gz \
    share/bash-completion/completions/velmora \
    share/bash-completion/completions/velmora-cli \
    share/doc/velmora/README.md \
    share/doc/velmora/copyright \
    share/doc/velmora/changelog.gz
  for size in 32 48 128 256; do
    echo "share/icons/hicolor/${size}x$size/apps/velmora.png"
    echo "share/icons/hicolor/${size}x$size/mimetypes/application-x-velmora-project.png"
  done
}

# A clean environment: no display, no desktop, no settings of the user.
clean_env() {
  env -i PATH=/usr/bin:/bin HOME="$scratch/home" LANG=C.UTF-8 "$@"
}

# Fails unless hardening-check finds every protection in the programs given.
hardened() {
  command -v hardening-check >/dev/null || fail "hardening-check is missing (scripts/install-deps.sh installs devscripts)"
  local report
  report=$(hardening-check "$@") || fail "hardening-check finds protections missing:"$'\n'"$report"
  ! grep -q ': no' <<<"$report" || fail "hardening-check says no:"$'\n'"$report"
}
