# Installation and the Debian package: both programs, the desktop entry and the icon.
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZK_BUILD_TESTS=OFF
#   cmake --build build-release && (cd build-release && cpack -G DEB)
include(GNUInstallDirs)

install(TARGETS zk2morvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET zk2morvex)
  install(TARGETS zk2morvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zk2morvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zk2morvex.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zk2morvex.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zk2morvex)
set(CPACK_PACKAGE_VENDOR "zk2morvex developers")
set(CPACK_PACKAGE_CONTACT "zk2morvex developers <zk2morvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Boring log converter: one folder of Shift-JIS tables to one exchange file")
set(CPACK_PACKAGE_DESCRIPTION
    "Turns one boring (borehole) folder of small Shift-JIS text tables into one exchange file of quoted, typed records named by the boring's mesh code and a sequence number. Provides the window program zk2morvex and the command-line program zk2morvex-cli.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs the platform plugins (X11, Wayland); Japanese text needs a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
set(CPACK_STRIP_FILES ON)
include(CPack)
