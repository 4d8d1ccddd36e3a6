# Installing the game as a desktop application, and packing it as a Debian package.
#
#   cmake --install build           the game, its menu entry, icons, AppStream data, manual
#   cpack --config build/CPackConfig.cmake      milka-derby_<version>_<arch>.deb
#
# The application's id is reverse-DNS under the maker's own reserved address (see
# MILKA_SITE_BASE), so it can never collide with somebody else's application.
include(GNUInstallDirs)

set(MILKA_APP_ID "example.milkaria.MilkaDerby")
set(MILKA_SCREENSHOT_BASE "${MILKA_SITE_BASE}/screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published, for the AppStream data")
set(MILKA_ICON_SIZES 16 32 48 64 128 256)

# A game's program lives in games/ beside bin/ (/usr/games, /usr/local/games), which Debian puts
# on every user's PATH.
set(MILKA_INSTALL_GAMESDIR "games" CACHE STRING
    "Where the game's program is installed, under the prefix")
set(MILKA_INSTALL_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/milka-derby")
install(TARGETS milka-derby RUNTIME DESTINATION ${MILKA_INSTALL_GAMESDIR})
# As dh_strip does: when stripped, the compilers' notes in .comment go too.
find_program(MILKA_OBJCOPY NAMES objcopy)
if(MILKA_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${MILKA_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${MILKA_INSTALL_GAMESDIR}/milka-derby\")
    endif()")
endif()

install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/dist/${MILKA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${CMAKE_CURRENT_SOURCE_DIR}/dist/${MILKA_APP_ID}.metainfo.xml.in
               ${CMAKE_CURRENT_BINARY_DIR}/dist/${MILKA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/${MILKA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The copyright file, the changelog and the manual page, as Debian keeps them: the last two
# compressed without a name or time in the header, so the same sources give the same bytes.
find_program(MILKA_GZIP NAMES gzip REQUIRED)
set(MILKA_DEBIAN_DIR ${CMAKE_CURRENT_SOURCE_DIR}/dist/debian)
set(MILKA_DOC_OUT ${CMAKE_CURRENT_BINARY_DIR}/doc)
set(MILKA_COMPRESSED "")
foreach(file changelog milka-derby.6)
  add_custom_command(
    OUTPUT ${MILKA_DOC_OUT}/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${MILKA_DEBIAN_DIR}/${file} ${MILKA_DOC_OUT}/${file}
    COMMAND ${MILKA_GZIP} -9nf ${MILKA_DOC_OUT}/${file}
    DEPENDS ${MILKA_DEBIAN_DIR}/${file}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND MILKA_COMPRESSED ${MILKA_DOC_OUT}/${file}.gz)
endforeach()
add_custom_target(milka_debian_docs ALL DEPENDS ${MILKA_COMPRESSED})
install(FILES ${MILKA_DEBIAN_DIR}/copyright ${MILKA_DOC_OUT}/changelog.gz
        DESTINATION ${MILKA_INSTALL_DOCDIR})
install(FILES ${MILKA_DOC_OUT}/milka-derby.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The icons are drawn at build time by a small tool from the window icon's own pixel art, so the
# art lives in one place (assets/) and no generated picture is kept in the sources.
add_executable(milka-icons dist/icons.cpp)
target_link_libraries(milka-icons PRIVATE milka_platform)
target_compile_options(milka-icons PRIVATE ${MILKA_WARNINGS})
set(MILKA_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(MILKA_ICON_FILES "")
foreach(size IN LISTS MILKA_ICON_SIZES)
  list(APPEND MILKA_ICON_FILES ${MILKA_ICON_DIR}/${size}x${size}/apps/${MILKA_APP_ID}.png)
endforeach()
# Under AddressSanitizer the leak checker would take Qt's process-lifetime caches for leaks and
# fail the build; the tool's leaks do not matter, the game's are checked by the tests.
add_custom_command(
  OUTPUT ${MILKA_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:milka-icons> ${MILKA_ICON_DIR} ${MILKA_APP_ID} ${MILKA_ICON_SIZES}
  DEPENDS milka-icons
  COMMENT "Drawing the desktop icons"
  VERBATIM)
add_custom_target(milka_desktop_icons ALL DEPENDS ${MILKA_ICON_FILES})
install(DIRECTORY ${MILKA_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The Debian package. Library dependencies come from the binary (dpkg-shlibdeps); what the
# binary does not link but needs at run time is named here: the Japanese fonts (without them
# every character is an empty box) and the Wayland platform plugin (the X11 one comes with
# libqt6gui6, which the binary links). TLS for an https score server needs the CA certificates.
# The sound goes to a PulseAudio server (libpulse comes with Qt Multimedia); the game plays on
# in silence without one.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "milka-derby")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Milka Derby developers")
set(CPACK_PACKAGE_CONTACT "The Milka Derby developers <games@milkaria.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "horse-racing career game, all in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "ミルカダービー (Milka Derby) is a single-player horse-racing career game with
all its text in Japanese. Breed one racehorse from fixed sire and dam tables,
name it and raise it month by month until it retires; each month it runs an
animated race with live commentary, or rests at pasture.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont, qt6-wayland, libqt6sql6-sqlite, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, xdg-utils, pulseaudio | pipewire-pulse")
include(CPack)
