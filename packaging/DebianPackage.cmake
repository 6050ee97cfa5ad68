# `make package` (cpack -G DEB): velmora_<version>_<arch>.deb with everything
# the install rules put under /usr. dpkg-shlibdeps computes the shared
# libraries the programs need; the desktop and shared-mime-info databases
# are brought up to date by dpkg's triggers, so no maintainer scripts are
# needed.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translator for the texts of car-navigation disc loaders")
# Written as it appears: a line is never filled anew, and one that begins
# with a dot would be read as a control line, so ".BIN" stays inside lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora translates the texts built into the loader of a car-navigation
disc: the KIWI file LOADING.KWI, or one loading unit saved on its own as
a .BIN file. It finds every text of a unit by trying each aligned word as
a pointer. Phrases can be hidden, translated and searched, and exchanged
with plain text files and, as gettext PO and XLIFF 1.2 files, with the
tools translators work in. The work is saved as a project (.vmprj), and
Velmora writes a new .BIN or a whole new LOADING.KWI.
.
This package holds the desktop program velmora (English and Russian
captions) and the command-line program velmora-cli.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Japanese code page shows its texts only with a CJK font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-droid-fallback)

include(CPack)
