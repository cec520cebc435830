# Installation and the Debian package. One reverse-DNS id names the desktop
# entry, the icon and the AppStream metadata, so that launchers and software
# centres tie them together.
include(GNUInstallDirs)

set(QUVIAL_APP_ID org.quvial.Quvial)
# The date of the release named by project(VERSION); set both together.
set(QUVIAL_RELEASE_DATE 2026-12-09)
set(QUVIAL_LICENSE "LicenseRef-proprietary" CACHE STRING "SPDX licence of the program")
set(QUVIAL_MAINTAINER "Quvial developers <maintainers@quvial.invalid>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")

install(TARGETS quvial quvial-wallsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The pristine language table: an installed console copies it into the
# user's data directory on its first start (the program directory rule).
install(FILES ${PROJECT_SOURCE_DIR}/resources/lang.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/quvial)
install(FILES ${PROJECT_SOURCE_DIR}/resources/${QUVIAL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PROJECT_SOURCE_DIR}/resources/${QUVIAL_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/${QUVIAL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${QUVIAL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons: the SVG as the scalable one, and PNGs drawn from it at the theme's
# usual sizes by a small Qt tool, so the sources keep the single drawing.
set(quvial_icon_svg ${PROJECT_SOURCE_DIR}/resources/${QUVIAL_APP_ID}.svg)
add_executable(quvial-icon-render ${PROJECT_SOURCE_DIR}/tools/icon_render/icon_render.cpp)
target_link_libraries(quvial-icon-render PRIVATE quvial_flags Qt6::Gui Qt6::Svg)
set(quvial_icon_pngs "")
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${PROJECT_BINARY_DIR}/icons/hicolor/${size}x${size}/apps/${QUVIAL_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/hicolor/${size}x${size}/apps
                     COMMAND quvial-icon-render ${quvial_icon_svg} ${png} ${size}
                     DEPENDS quvial-icon-render ${quvial_icon_svg} VERBATIM)
  list(APPEND quvial_icon_pngs ${png})
endforeach()
add_custom_target(quvial_icons ALL DEPENDS ${quvial_icon_pngs})
install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${quvial_icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package: quvial_<version>_amd64.deb. dpkg-shlibdeps works out the
# Qt, ICU and libjpeg packages from the executables; the font is what the
# Chinese captions need and no library names it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quvial)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quvial")
set(CPACK_PACKAGE_CONTACT "${QUVIAL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video wall console (大屏拼接控制系统)")
set(CPACK_PACKAGE_DESCRIPTION
    "Quvial is the operator's console for large video walls built of splicing\n"
    "processors on a serial line or the local network: it switches screens to\n"
    "signal sources, combines and dissolves pictures, powers screens, and has\n"
    "VIDEO, VGA and DVI matrix switchers, a DVR and input switchers follow\n"
    "every selection. quvial-wallsim, the virtual wall, plays the devices for\n"
    "training and commissioning without hardware.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The toolbar's SVG icons are drawn by Qt's SVG plugins, which no executable
# links and dpkg-shlibdeps therefore cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
include(CPack)
