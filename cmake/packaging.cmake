# What `cmake --install` puts where (GNU directories), and the Debian package
# built from it with `cpack -G DEB`. Included last, once every target exists.
include(GNUInstallDirs)

set(PELMORA_APP_ID org.pelmora.Pelmora)
set(PELMORA_HOMEPAGE "https://pelmora.example.org" CACHE STRING
    "The project's home page; the AppStream screenshot is its docs/tab-sms-track.png")
set(PELMORA_RELEASE_DATE 2026-12-07)  # of PROJECT_VERSION: change it, and packaging/changelog, with the version
set(PELMORA_MAINTAINER "The Pelmora developers <pelmora@example.org>")
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(generated_dir ${PROJECT_BINARY_DIR}/packaging)

# ---- Programs; the window's desktop entry, metainfo and scalable icon ----
# (its PNG sizes are installed where they are rendered, in app/qt/).
if(TARGET pelmora)
  install(TARGETS pelmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${packaging_dir}/${PELMORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(${packaging_dir}/${PELMORA_APP_ID}.metainfo.xml.in ${generated_dir}/${PELMORA_APP_ID}.metainfo.xml
                 @ONLY)
  install(FILES ${generated_dir}/${PELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${packaging_dir}/${PELMORA_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
if(TARGET pelmora-cli)
  install(TARGETS pelmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# ---- Man pages, from their scdoc sources; compressed as Debian ships them ----
find_program(SCDOC scdoc)
set(man_pages)
foreach(program pelmora pelmora-cli)
  if(NOT TARGET ${program})
    continue()
  endif()
  if(NOT SCDOC)
    message(STATUS "scdoc not found (Debian package scdoc): the man page of ${program} is not built")
    continue()
  endif()
  set(source ${packaging_dir}/man/${program}.1.scd)
  set(page ${generated_dir}/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
                     COMMAND sh -c "\"$0\" < \"$1\" | gzip -9n > \"$2\"" ${SCDOC} ${source} ${page}
                     DEPENDS ${source}
                     COMMENT "Man page ${program}(1)"
                     VERBATIM)
  list(APPEND man_pages ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# ---- share/doc/pelmora: the dialout note, copyright and changelog ----
set(changelog ${generated_dir}/changelog.gz)
add_custom_command(OUTPUT ${changelog}
                   COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${packaging_dir}/changelog ${changelog}
                   DEPENDS ${packaging_dir}/changelog
                   VERBATIM)
add_custom_target(pelmora_documents ALL DEPENDS ${man_pages} ${changelog})
install(FILES ${packaging_dir}/README.Debian ${packaging_dir}/copyright ${changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- The Debian package ----
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VENDOR "The Pelmora developers")
set(CPACK_PACKAGE_CONTACT "${PELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configure GPS trackers over a serial line")
# Lines kept under 80 columns: CPack copies them into the control file as they are.
set(CPACK_PACKAGE_DESCRIPTION [[
Pelmora reads the whole settings image of a GPS tracker connected through a
serial line (usually a USB-serial cable), shows it on six pages and writes
the edited settings back. It finds the port the tracker answers on, keeps a
handshake going and logs every step of the exchange. Started with --demo,
it talks to a built-in simulated tracker: no hardware needed.

Serial ports belong to the group dialout: a user must be a member of it to
open them: adduser USERNAME dialout, then log in again.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PELMORA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PELMORA_HOMEPAGE}")
# The libraries come from dpkg-shlibdeps; the fonts the pages are laid out in
# are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own dialogs (Yes, No, Cancel, the file dialog) in Russian come from qt6-translations-l10n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-liberation2, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
