# `make deb` (cpack -G DEB): one Debian package with everything `cmake
# --install` lays out, under /usr.
set(CPACK_PACKAGE_NAME kavora-zarvocam)
set(CPACK_PACKAGE_VENDOR KAVORA)
set(CPACK_PACKAGE_CONTACT "KAVORA <support@kavora.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control software for KAVORA Zarvo AI-tracking webcams")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kavora.com/")
# CPack puts the summary first and indents these lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"A desktop application (zarvocam) and a command-line tool (zarvoctl) for
zoom, gimbal, auto framing, image settings, sleep and wake, background
pictures, firmware upgrade and log export. A udev rule gives the
logged-in user access to the cameras.")
set(CPACK_GENERATOR DEB)
include(CPack)
