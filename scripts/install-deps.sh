#!/usr/bin/env bash
# Installs the Debian packages Velmora needs, by group:
#   run      build the two programs and start them (make run)
#   package  also make the manuals and the Debian package (make package,
#            make install)
#   test     also build and run every test and benchmark, and the tools that
#            check the results (make build, make test; the default)
# Each group holds the ones before it. Non-interactive and idempotent:
# nothing is installed when everything is present. When another apt or dpkg
# is running, it waits for it (up to VELMORA_APT_LOCK_TIMEOUT seconds, 600 by
# default) instead of failing.
#
# scripts/install-deps.sh --list GROUP prints a group's packages, one a line.
set -euo pipefail

RUN=(
  g++ make cmake ninja-build pkg-config
  # Debian's hardening flags (dpkg-buildflags).
  dpkg-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 libpugixml-dev
  # The fonts the window shows its texts in, Japanese ones among them.
  fonts-dejavu-core fonts-droid-fallback
)
PACKAGE=(
  # The manuals, made from the programs' help.
  help2man python3
  # CPack's Debian package: dpkg-shlibdeps (dpkg-dev) and file.
  file
)
TEST=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  locales
  # Phrase files, and the tools that check them.
  gettext translate-toolkit libxml2-utils
  # The installed tree and the package, and the tools that check them:
  # lintian, hardening-check (devscripts), the desktop and AppStream
  # validators, the file-type and menu databases, man and bash completion.
  lintian devscripts man-db desktop-file-utils appstream shared-mime-info
  xdg-utils libglib2.0-bin bash-completion
  # The program on a virtual screen (xvfb-run make run) and the artwork
  # (ui/art/make-art.sh); a window manager and real key events for trying
  # the window by keyboard there.
  xvfb xauth imagemagick openbox xdotool
)

group_packages() {
  case $1 in
    run) printf '%s\n' "${RUN[@]}" ;;
    package) group_packages run && printf '%s\n' "${PACKAGE[@]}" ;;
    test) group_packages package && printf '%s\n' "${TEST[@]}" ;;
    *)
      echo "install-deps.sh: unknown group '$1' (run, package or test)" >&2
      return 2
      ;;
  esac
}

if [[ ${1:-} == --list ]]; then
  group_packages "${2:-test}"
  exit
fi
mapfile -t packages < <(group_packages "${1:-test}")
[[ ${#packages[@]} -gt 0 ]] || exit 2

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -gt 0 ]] || exit 0

SUDO=()
if [[ $(id -u) -ne 0 ]]; then SUDO=(sudo); fi
lock_timeout=${VELMORA_APT_LOCK_TIMEOUT:-600}
# apt-get install waits for dpkg's lock by itself with this option. Its
# messages in English, so that a held lock is recognised.
APT=("${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive LC_ALL=C apt-get -o "DPkg::Lock::Timeout=$lock_timeout")

# apt-get update takes the lock of the package lists, for which apt has no
# waiting of its own: it is tried again every 5 seconds while another apt
# holds that lock, up to the same time.
update_lists() {
  local waited=0 said="" err
  while ! err=$("${APT[@]}" update -qq 2>&1 >/dev/null); do
    if [[ $err != *"Could not get lock"* ]]; then
      echo "$err" >&2
      return 1
    fi
    if ((waited >= lock_timeout)); then
      echo "$err" >&2
      echo "install-deps.sh: apt's lock was still held after $lock_timeout seconds" >&2
      return 1
    fi
    [[ -n $said ]] || echo "Waiting for another apt to finish ..."
    said=1
    sleep 5
    waited=$((waited + 5))
  done
}

echo "Installing: ${missing[*]}"
update_lists
"${APT[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
