# Installation and the Debian package: both programs with their manual pages, the desktop entry
# and the icon, the sample boring and code tables, the licence and the changelog.
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

# The manual pages, one per program, made from the one source docs/man.roff.in and compressed
# as Debian keeps them, and the changelog likewise (where gzip is there to do it).
find_program(ZK_GZIP gzip)
if(ZK_GZIP)
  set(ZK_MAN_SOURCE ${PROJECT_SOURCE_DIR}/docs/man.roff.in)
  set(zk_man_pages "")
  foreach(page cli:zk2morvex-cli window:zk2morvex)
    string(REPLACE ":" ";" parts ${page})
    list(GET parts 0 kind)
    list(GET parts 1 name)
    set(roff ${CMAKE_BINARY_DIR}/man/${name}.1)
    add_custom_command(
      OUTPUT ${roff}.gz
      COMMAND ${CMAKE_COMMAND} -DINPUT=${ZK_MAN_SOURCE} -DOUTPUT=${roff} -DPROGRAM=${kind} -DNAME=${name}
              -DVERSION=${PROJECT_VERSION} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      COMMAND ${ZK_GZIP} -9nf ${roff}
      DEPENDS ${ZK_MAN_SOURCE} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      COMMENT "Manual page ${name}.1"
      VERBATIM)
    list(APPEND zk_man_pages ${roff}.gz)
    if(kind STREQUAL "cli" OR TARGET zk2morvex)
      install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endforeach()

  set(ZK_CHANGELOG ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  add_custom_command(
    OUTPUT ${ZK_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${ZK_GZIP} -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${ZK_CHANGELOG}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
    VERBATIM)
  add_custom_target(zk_docs ALL DEPENDS ${zk_man_pages} ${ZK_CHANGELOG})
else()
  message(STATUS "gzip not found: the manual pages and the changelog are not made")
  set(ZK_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
endif()

# The sample for trying the programs out: /usr/share/zk2morvex/sample/B001 (a boring) and
# /usr/share/zk2morvex/sample/codes (the code tables L9.txt and Kishitu.txt).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/sample/B001 ${PROJECT_SOURCE_DIR}/sample/codes
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zk2morvex/sample
        PATTERN "BORLING.NO" EXCLUDE)
set(ZK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zk2morvex)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${ZK_CHANGELOG} DESTINATION ${ZK_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zk2morvex)
set(CPACK_PACKAGE_VENDOR "zk2morvex developers")
set(CPACK_PACKAGE_CONTACT "zk2morvex developers <zk2morvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Boring log converter: one folder of Shift-JIS tables to one exchange file")
set(CPACK_PACKAGE_DESCRIPTION
    "Turns one boring (borehole) folder of small Shift-JIS text tables into one exchange file of quoted, typed records named by the boring's mesh code and a sequence number. Provides the window program zk2morvex and the command-line program zk2morvex-cli, and a sample boring with sample code tables in /usr/share/zk2morvex/sample.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window needs the platform plugins (X11, Wayland) and shows Qt's buttons in Japanese from
# Qt's translations; Japanese text needs a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
