# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it
# (scripts/package): the three programs, the desktop entry, the icons drawn from the program's
# radio picture, the AppStream metainfo, the manual pages, and the copyright and changelog.
# Included from CMakeLists.txt when the desktop tool is built.

include(GNUInstallDirs)

set(RCP520_APP_ID com.veltra_comm.rcp520)
set(RCP520_MAINTAINER "Veltra研发部 <rcp520@veltra-comm.com>")
# The release's own date (RCP520_RELEASE_DATE, beside the version), not the build's.
execute_process(COMMAND date -u -d "${RCP520_RELEASE_DATE}" "+%a, %d %b %Y 00:00:00 +0000"
                OUTPUT_VARIABLE RCP520_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)

set(_out ${CMAKE_CURRENT_BINARY_DIR}/packaging)
set(_in ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS rcp520 rcp520-cli rcp520-radio RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop entry and metainfo.
configure_file(${_in}/${RCP520_APP_ID}.metainfo.xml.in ${_out}/${RCP520_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_in}/${RCP520_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_out}/${RCP520_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Icons: SVG and PNG 16 to 256 pixels, drawn by rcp520-icons from the program's radio picture.
set(_icon_sizes 16 22 24 32 48 64 128 256)
set(_icons ${_out}/icons/hicolor/scalable/apps/${RCP520_APP_ID}.svg)
foreach(size ${_icon_sizes})
  list(APPEND _icons ${_out}/icons/hicolor/${size}x${size}/apps/${RCP520_APP_ID}.png)
endforeach()
add_custom_command(OUTPUT ${_icons}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:rcp520-icons> ${_out}/icons ${RCP520_APP_ID}
  DEPENDS rcp520-icons
  COMMENT "Drawing the icons")
add_custom_target(rcp520-icon-files ALL DEPENDS ${_icons})
install(DIRECTORY ${_out}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages, compressed as Debian keeps them: rcp520-cli and rcp520-radio from their --help
# by help2man, rcp520 written by hand.
find_program(HELP2MAN help2man)
configure_file(${_in}/man/rcp520.1.in ${_out}/man/rcp520.1 @ONLY)
set(_pages ${_out}/man/rcp520.1.gz)
add_custom_command(OUTPUT ${_out}/man/rcp520.1.gz
  COMMAND gzip -9nf -k ${_out}/man/rcp520.1
  DEPENDS ${_out}/man/rcp520.1)
if(HELP2MAN)
  foreach(program rcp520-cli rcp520-radio)
    add_custom_command(OUTPUT ${_out}/man/${program}.1.gz
      COMMAND ${HELP2MAN} --no-info --section=1
              --include=${_in}/man/${program}.h2m --output=${_out}/man/${program}.1
              $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${_out}/man/${program}.1
      DEPENDS ${program} ${_in}/man/${program}.h2m
      COMMENT "Writing the manual page of ${program}")
    list(APPEND _pages ${_out}/man/${program}.1.gz)
  endforeach()
else()
  message(STATUS "help2man not found: the package gets no pages for rcp520-cli and rcp520-radio")
endif()
add_custom_target(rcp520-man-pages ALL DEPENDS ${_pages})
install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Copyright and changelog, where Debian looks for them.
configure_file(${_in}/changelog.in ${_out}/changelog @ONLY)
add_custom_command(OUTPUT ${_out}/changelog.gz
  COMMAND gzip -9nf -k ${_out}/changelog
  DEPENDS ${_out}/changelog)
add_custom_target(rcp520-changelog ALL DEPENDS ${_out}/changelog.gz)
install(FILES ${_in}/copyright ${_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/rcp520)

# The Debian package: rcp520_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rcp520)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Veltra通讯设备有限公司")
set(CPACK_PACKAGE_CONTACT "${RCP520_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming tool for MPT 1327 trunked two-way radios")
set(CPACK_PACKAGE_DESCRIPTION
  "RCP520 edits a radio's whole configuration on a tabbed window, reads it
out of a radio and writes it into one over a serial cable, and keeps
configurations as INI data files; behind a password it aligns and measures
the radio in its test state.
.
The package also holds rcp520-cli, the same transfers and data files from a
terminal, and rcp520-radio, a virtual radio on a pseudo-terminal for trying
the tool without hardware.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.veltra-comm.com/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: the CJK font the windows are drawn in, and Qt's Chinese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
