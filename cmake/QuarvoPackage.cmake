# The Debian package, made by CPack from the install rules: cpack -G DEB in a build directory
# (scripts/build-deb makes a Release one). Everything goes under /usr; the shared libraries the
# programs link decide most of Depends (dpkg-shlibdeps). The system's triggers of shared-mime-info,
# desktop-file-utils and the hicolor theme bring their caches up to date when the package's files
# come and go, so the package carries no maintainer scripts.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarvo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quarvo maintainers <maintainers@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "archive manager for ZIP and TAR archives")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quarvo is a desktop archive manager: a multiple-document window that lists,\n"
    "creates, updates, extracts and tests ZIP archives (deflate, BZIP2, LZMA, XZ,\n"
    "Zstandard, Deflate64, PPMd, traditional and AES encryption), reads TAR\n"
    "archives and compressed streams, keeps whole compress and extract operations\n"
    "as job files, converts archives to self-extractors and searches the disks for\n"
    "archives. The package also holds quarvo-cli, the same commands for scripts\n"
    "and terminals, and quarvo-viewer, a read-only file viewer.")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugins at run time, so no library names them: without the xcb (and
# Wayland) plugins the window cannot start.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The registration at start runs update-mime-database and update-desktop-database when present,
# and the job files' icons live in the hicolor theme; mail needs xdg-email.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")

include(CPack)
