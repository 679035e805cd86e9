# Installed layout: programs in bin/, language files and help in share/keltool (where the
# program looks for them relative to its own folder), a menu entry and icons where desktops
# find them; CPack builds a .deb of it.
include(GNUInstallDirs)

install(TARGETS keltool kelctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kelsim)
  install(TARGETS kelsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/resources/lang/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/keltool)
if(EXISTS ${PROJECT_SOURCE_DIR}/src/resources/help)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/resources/help
          DESTINATION ${CMAKE_INSTALL_DATADIR}/keltool)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/keltool.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128)
  install(FILES ${PROJECT_SOURCE_DIR}/src/resources/images/app_icon_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME keltool.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/resources/images/app_icon.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME keltool.png)

set(CPACK_GENERATOR DEB)
# The build's debug symbols stay out of the package: they are nearly all of the programs' size.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME keltool)
set(CPACK_PACKAGE_VENDOR "Lumexa")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop and command-line tool for the KEL camera sensor on RS-232C")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "KEL TOOL developers <keltool@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The GUI cannot start without a platform plugin, which the libraries only recommend.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
include(CPack)
