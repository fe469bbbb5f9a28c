# The installed layout, by the Filesystem Hierarchy Standard through GNUInstallDirs:
#   bin/                      quarvo, quarvo-cli, quarvo-viewer
#   libexec/quarvo/           quarvo-sfx, which the converter copies but nobody starts by hand
#   share/applications, share/mime/packages, share/icons/hicolor
#                             the desktop entry, the MIME package of the job types, the icons
#   share/man/man1            quarvo.1, quarvo-cli.1
#   share/doc/quarvo          the manual, which Help > Index opens
# The programs find their companions and the manual relative to their own directory
# (core/layout/InstallLayout.h), so an installation works under any prefix.

include(GNUInstallDirs)
# GNUInstallDirs names the documentation directory after the CMake project ("Quarvo"); the package
# and the programs are "quarvo". A directory the builder chose is kept.
if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
    set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/quarvo")
    set(CMAKE_INSTALL_FULL_DOCDIR "${CMAKE_INSTALL_FULL_DATAROOTDIR}/doc/quarvo")
endif()

set(QUARVO_INSTALL_COMPANIONDIR "${CMAKE_INSTALL_LIBEXECDIR}/quarvo")
if(IS_ABSOLUTE "${QUARVO_INSTALL_COMPANIONDIR}")
    set(QUARVO_INSTALL_FULL_COMPANIONDIR "${QUARVO_INSTALL_COMPANIONDIR}")
else()
    set(QUARVO_INSTALL_FULL_COMPANIONDIR "${CMAKE_INSTALL_PREFIX}/${QUARVO_INSTALL_COMPANIONDIR}")
endif()
