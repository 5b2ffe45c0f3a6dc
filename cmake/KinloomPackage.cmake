# What the installed programs need besides their own files (manual pages,
# AppStream metadata, the copyright file), and the Debian package made from
# all of it by `cpack -G DEB` in the build folder (scripts/package).
include(GNUInstallDirs)

set(KINLOOM_LICENSE_SPDX "LicenseRef-proprietary"
    CACHE STRING "The SPDX identifier of KINLOOM_LICENSE, for the AppStream metadata and the copyright file")
# The project's web domain: the AppStream identifier is made from it, the
# screenshots are looked for there and the maintainer's address is there.
set(KINLOOM_DOMAIN "kinloom.example" CACHE STRING "The project's web domain")
string(REPLACE "." ";" labels "${KINLOOM_DOMAIN}")
list(REVERSE labels)
list(JOIN labels "." KINLOOM_APPSTREAM_ID)
string(APPEND KINLOOM_APPSTREAM_ID ".viewer")
set(KINLOOM_SCREENSHOT_URL "https://${KINLOOM_DOMAIN}/screenshot.png")
set(KINLOOM_CHART_SCREENSHOT_URL "https://${KINLOOM_DOMAIN}/chart.png")
set(KINLOOM_MAINTAINER "Kinloom maintainers <maintainers@${KINLOOM_DOMAIN}>")

# Manual pages go in gzipped, as Debian keeps them.
set(pages kinloom-cli)
if(TARGET kinloom)
  list(APPEND pages kinloom)
endif()
set(gzipped)
foreach(page ${pages})
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${output} COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND gzip -9nc ${source} > ${output} DEPENDS ${source} VERBATIM)
  list(APPEND gzipped ${output})
endforeach()
add_custom_target(kinloom_man ALL DEPENDS ${gzipped})
install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET kinloom)
  configure_file(${PROJECT_SOURCE_DIR}/resources/kinloom.metainfo.xml.in ${CMAKE_BINARY_DIR}/kinloom.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/kinloom.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
configure_file(${PROJECT_SOURCE_DIR}/resources/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kinloom)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinloom)
set(CPACK_PACKAGE_VENDOR "Kinloom")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for GEDCOM genealogy files")
# Lines of the control file's extended description are kept short.
set(CPACK_PACKAGE_DESCRIPTION
    "Kinloom shows a GEDCOM 5.5 file in one window: a sortable table of every
person, an outline of the selected person's record, a name search, back and
forward through the persons visited, and a validate command that colours the
lines the GEDCOM 5.5 grammar rejects. It reads ASCII, ANSEL, UTF-8 and UTF-16
files and GEDZIP archives, and writes nothing. kinloom-cli prints the same views in a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KINLOOM_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The Qt 6, ICU and libzip libraries the programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
