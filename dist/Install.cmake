# Install rules (GNU layout) and the Debian package. Included by the top-level CMakeLists.
#
#   cmake --install build --prefix P     P/bin, P/share/starbreaker/data, the desktop entry,
#                                        icons, AppStream metadata and manual pages
#   cmake --build build --target package the .deb (CPack), installing under /usr

set(SB_APP_ID org.starbreaker.Starbreaker)
set(SB_RELEASE_DATE 2026-12-10)
set(SB_RELEASE_DATE_RFC2822 "Thu, 10 Dec 2026 12:00:00 +0000")
set(SB_MAINTAINER "Starbreaker developers <starbreaker@users.noreply.github.com>")
set(SB_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/starbreaker)
set(SB_DIST_OUT ${CMAKE_BINARY_DIR}/dist)
# Folders get the same modes whatever the umask of the one who builds (reproducible packages).
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS starbreaker starbreaker-setup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The generated data without the tables played in it; every player starts from fresh ones.
install(DIRECTORY ${SB_DATA_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/starbreaker/data
        REGEX "/all_qrx$" EXCLUDE)
install(FILES ${SB_DEFAULTS_DIR}/all_qrx/res.qrx ${SB_DEFAULTS_DIR}/all_qrx/opt.qrx
        DESTINATION ${CMAKE_INSTALL_DATADIR}/starbreaker/data/all_qrx)
install(DIRECTORY ${SB_ICONS_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

install(FILES ${CMAKE_SOURCE_DIR}/dist/${SB_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/dist/${SB_APP_ID}.metainfo.xml.in ${SB_DIST_OUT}/${SB_APP_ID}.metainfo.xml @ONLY)
install(FILES ${SB_DIST_OUT}/${SB_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go compressed, as Debian wants them.
set(SB_GZ_FILES)
foreach(page starbreaker.6 starbreaker-setup.6 changelog)
  configure_file(${CMAKE_SOURCE_DIR}/dist/${page}.in ${SB_DIST_OUT}/${page} @ONLY)
  add_custom_command(OUTPUT ${SB_DIST_OUT}/${page}.gz
    COMMAND gzip -9 -n -c ${SB_DIST_OUT}/${page} > ${SB_DIST_OUT}/${page}.gz
    DEPENDS ${SB_DIST_OUT}/${page}
    VERBATIM)
  list(APPEND SB_GZ_FILES ${SB_DIST_OUT}/${page}.gz)
endforeach()
add_custom_target(sb_dist_docs ALL DEPENDS ${SB_GZ_FILES})
install(FILES ${SB_DIST_OUT}/starbreaker.6.gz ${SB_DIST_OUT}/starbreaker-setup.6.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${SB_DIST_OUT}/changelog.gz ${CMAKE_SOURCE_DIR}/COPYING
        DESTINATION ${SB_DOC_DIR})

# The Debian package: runtime libraries found by dpkg-shlibdeps, the fonts the text needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME starbreaker)
set(CPACK_PACKAGE_VENDOR "The Starbreaker developers")
set(CPACK_PACKAGE_CONTACT "${SB_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling space shooter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Starbreaker is a single-player side-scrolling space shooter with
Russian-language screens. Steer the ship through nine levels of enemy
waves with the keyboard or a gamepad, pick up bonus capsules and switch
between a beam, homing rockets and a shield.

Each player's score table, options and settings are kept in
~/.local/share/starbreaker; the starbreaker-setup tool resets the table
and changes the options.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/dist/DebianLayout.cmake)
configure_file(${CMAKE_SOURCE_DIR}/dist/PackageEpoch.cmake.in ${SB_DIST_OUT}/PackageEpoch.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${SB_DIST_OUT}/PackageEpoch.cmake)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
