# What goes with the game besides its executable and data: the window's built-in icon, the
# software-centre listing, the manual page and the package notes, and the Debian package made with CPack
# from an install into /usr (scripts/package.sh).

# The window shows the generated 64-pixel icon: its PNG bytes are compiled into the executable.
set(QUILLMOOR_WINDOW_ICON_PNG ${CMAKE_BINARY_DIR}/icons/hicolor/64x64/apps/quillmoor.png)
set(QUILLMOOR_WINDOW_ICON_CPP ${CMAKE_BINARY_DIR}/window_icon.cpp)
add_custom_command(
  OUTPUT ${QUILLMOOR_WINDOW_ICON_CPP}
  COMMAND ${CMAKE_COMMAND} -DPNG=${QUILLMOOR_WINDOW_ICON_PNG} -DOUT=${QUILLMOOR_WINDOW_ICON_CPP}
    -P ${CMAKE_CURRENT_LIST_DIR}/embed_icon.cmake
  DEPENDS icons ${QUILLMOOR_WINDOW_ICON_PNG} ${CMAKE_CURRENT_LIST_DIR}/embed_icon.cmake
  VERBATIM)
target_sources(quillmoor PRIVATE ${QUILLMOOR_WINDOW_ICON_CPP})

set(QUILLMOOR_MAINTAINER "The Quillmoor developers <maintainers@users.noreply.c-seed-5115f8db.example>")
set(QUILLMOOR_DIST ${CMAKE_BINARY_DIR}/dist)
set(QUILLMOOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quillmoor)

# The listing, with the release from CMakeLists.txt.
configure_file(${CMAKE_CURRENT_LIST_DIR}/quillmoor.metainfo.xml.in ${QUILLMOOR_DIST}/quillmoor.metainfo.xml @ONLY)
install(FILES ${QUILLMOOR_DIST}/quillmoor.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual page and the changelog, compressed as Debian has them (gzip -9n: no name, no time stamp, so
# two builds give the same bytes); the copyright notice as it is.
execute_process(COMMAND date -u -R -d "${QUILLMOOR_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE QUILLMOOR_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${QUILLMOOR_DIST}/changelog @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quillmoor.6 ${QUILLMOOR_DIST}/quillmoor.6 COPYONLY)
foreach(name changelog quillmoor.6)
  execute_process(COMMAND gzip -9nc ${QUILLMOOR_DIST}/${name} OUTPUT_FILE ${QUILLMOOR_DIST}/${name}.gz
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${QUILLMOOR_DIST}/quillmoor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${QUILLMOOR_DIST}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${QUILLMOOR_DOC_DIR})

# The Debian package: everything above under /usr. The install runs with DESTDIR, so that the menu
# entry's Exec names /usr/bin/quillmoor and not the staging folder. Depends comes from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillmoor developers")
set(CPACK_PACKAGE_CONTACT ${QUILLMOOR_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person 3D puzzle game in which a gun bends the stage")
# Lines of at most 80 columns once dpkg indents them.
set(CPACK_PACKAGE_DESCRIPTION [[
Quillmoor is a small first-person 3D puzzle game. Your one tool is a gun
whose shots plant bulges: spheres that grow and push floors, walls and moving
steps outward in real time, and you walk on the bent shape.
Across four stages you swell a clay block into a hill to climb, bend a cliff
into a ramp, ride lifts, and pull levers that open doors and switch off
lasers.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Message boxes are desktop dialogs with Japanese text: without these they fall back to SDL's own boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "zenity, fonts-droid-fallback")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
