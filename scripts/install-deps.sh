#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, test and run.
# Non-interactive and idempotent: nothing is installed when everything is present.
set -euo pipefail

PACKAGES=(
  g++ make cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev libjpeg-dev zlib1g-dev libpugixml-dev
  xvfb xauth imagemagick fonts-dejavu-core fonts-droid-fallback locales
  python3
  # Phrase files, and the tools that check them.
  gettext translate-toolkit libxml2-utils
  # Manuals, desktop files and the Debian package, and the tools that check
  # them.
  help2man man-db desktop-file-utils appstream shared-mime-info xdg-utils
  libglib2.0-bin bash-completion dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
