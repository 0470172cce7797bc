# The Debian package (`make package`): the programs and Reports/ together in
# /opt/cheqora, where they find path.txt and Reports/ beside their executable,
# with links in /usr/bin, desktop entries, an icon, AppStream metainfo, man
# pages and the documentation. The maintainer scripts make the shared database
# on a first install and never touch an existing one.

set(CHEQORA_DEB_RELEASE 1)
set(CHEQORA_DEB_VERSION "${PROJECT_VERSION}-${CHEQORA_DEB_RELEASE}")
set(PACKAGING_SOURCE ${CMAKE_SOURCE_DIR}/packaging)
set(PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
set(CHEQORA_PROGRAMS cheqora_app cheqora-db)
set(CHEQORA_PROGRAM_NAMES cheqora cheqora-db)
if(TARGET cheqora-designer)
  list(APPEND CHEQORA_PROGRAMS cheqora-designer)
  list(APPEND CHEQORA_PROGRAM_NAMES cheqora-designer)
endif()

install(TARGETS ${CHEQORA_PROGRAMS} RUNTIME DESTINATION opt/cheqora)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Reports/ DESTINATION opt/cheqora/Reports)

foreach(program ${CHEQORA_PROGRAM_NAMES})
  file(MAKE_DIRECTORY ${PACKAGING_BUILD}/bin)
  file(CREATE_LINK /opt/cheqora/${program} ${PACKAGING_BUILD}/bin/${program} SYMBOLIC)
  install(FILES ${PACKAGING_BUILD}/bin/${program} DESTINATION usr/bin)
endforeach()

install(FILES ${PACKAGING_SOURCE}/cheqora.desktop ${PACKAGING_SOURCE}/cheqora-designer.desktop
        DESTINATION usr/share/applications)
install(FILES ${PACKAGING_SOURCE}/cheqora.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
configure_file(${PACKAGING_SOURCE}/com.quorvane.Cheqora.metainfo.xml
               ${PACKAGING_BUILD}/com.quorvane.Cheqora.metainfo.xml @ONLY)
install(FILES ${PACKAGING_BUILD}/com.quorvane.Cheqora.metainfo.xml DESTINATION usr/share/metainfo)

# Man pages and the changelog go in compressed, as Debian's policy asks.
function(cheqora_gzipped source name destination)
  configure_file(${source} ${PACKAGING_BUILD}/${name} @ONLY)
  execute_process(COMMAND gzip -9nf ${PACKAGING_BUILD}/${name})
  install(FILES ${PACKAGING_BUILD}/${name}.gz DESTINATION ${destination})
endfunction()
foreach(page cheqora cheqora-db cheqora-designer)
  cheqora_gzipped(${PACKAGING_SOURCE}/${page}.1 ${page}.1 usr/share/man/man1)
endforeach()
cheqora_gzipped(${PACKAGING_SOURCE}/changelog changelog.Debian usr/share/doc/cheqora)
install(FILES ${PACKAGING_SOURCE}/copyright ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/docs/user-guide.md
              ${CMAKE_SOURCE_DIR}/docs/report-templates.md
        DESTINATION usr/share/doc/cheqora)
install(FILES ${PACKAGING_SOURCE}/lintian-overrides DESTINATION usr/share/lintian/overrides RENAME cheqora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cheqora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "cheque deposit slips printed on the bank's own form")
set(CPACK_PACKAGE_DESCRIPTION
    "Cheqora keeps the bank accounts an office deposits into, records each\n\
deposit slip with up to five cheques, and prints it onto the bank's own\n\
pre-printed form through a template per account, with a print preview.\n\
The template designer fits a template to a bank's form over its scan.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CHEQORA_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorvane <packages@quorvane.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the Qt 6 and SQLite libraries the programs link; Qt's
# SQLite driver and its window system plugins are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PACKAGING_SOURCE}/postinst ${PACKAGING_SOURCE}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
include(CPack)
