# The Debian package veldo_VERSION_ARCH.deb, built by scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veldo)
set(CPACK_PACKAGE_VENDOR "The Veldo developers")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Veldo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "program a remote-controlled switch box over a serial port")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Veldo ProgrammingTool shows the whole configuration of a switch box with sixteen\n"
    "outputs in one window: the two remote codes each output answers to and how it works.\n"
    "It reads the configuration out of the box and writes it into the box over a serial\n"
    "port, and keeps configurations in INI files. veldo-boxsim plays the box on a\n"
    "pseudo-terminal, for trying the tool without one.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found in the binaries: the fonts the window asks for and the
# X11 platform plugin; on a Wayland session Qt uses its plugin when installed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
