# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package veldo_VERSION_ARCH.deb, built by scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veldo)
set(CPACK_PACKAGE_VENDOR "The Veldo developers")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELDO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program a remote-controlled switch box over a serial port")
# Lines of at most 72 characters: dpkg indents them by one, and lintian wants 80 at most.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Veldo ProgrammingTool shows the whole configuration of a switch box with\n"
    "sixteen outputs in one window: the two remote codes each output answers\n"
    "to and how it works. It reads the configuration out of the box and\n"
    "writes it into the box over a serial port, and keeps configurations in\n"
    "INI files. veldo-cli does the same from a terminal and from scripts;\n"
    "veldo-boxsim plays the box on a pseudo-terminal, for trying the tool\n"
    "without one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found in the binaries: the fonts the window asks for and the
# X11 platform plugin; on a Wayland session Qt uses its plugin when installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
