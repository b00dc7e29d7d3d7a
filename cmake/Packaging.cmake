# What `cmake --install` puts beside the two programs, and the Debian package
# CPack makes of it:  cpack --config build/release/CPackConfig.cmake -G DEB
set(KOV_APP_ID com.tolvanderwerks.kov)

install(FILES ${CMAKE_SOURCE_DIR}/resources/kov.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kov.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/kov-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kov.png)
endforeach()
set(KOV_RELEASE_DATE 2026-12-06)
configure_file(${CMAKE_SOURCE_DIR}/resources/${KOV_APP_ID}.metainfo.xml
               ${CMAKE_BINARY_DIR}/${KOV_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${KOV_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_PACKAGE_NAME kov)
set(CPACK_PACKAGE_VENDOR Tolvanderwerks)
set(CPACK_PACKAGE_CONTACT "Tolvanderwerks <kov@tolvanderwerks.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Home maintenance log for houses and other real estate")
set(CPACK_PACKAGE_DESCRIPTION
    "KOV keeps a log of the maintenance done on your properties, shows when each\nrecurring task is next due, totals the costs and prints reports as PDF\ndocuments. kov-cli serves the same rules to scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tolvanderwerks.com/kov.htm")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform
# plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n, xdg-utils")
include(CPack)
