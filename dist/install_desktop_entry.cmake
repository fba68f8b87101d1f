# Run by `cmake --install`: writes the menu entry with the installed executable's full path, so that the
# menu starts the game whether or not the prefix's bin/ is on PATH. CMAKE_INSTALL_PREFIX is the prefix
# given to the install; DESKTOP_TEMPLATE, DESKTOP_OUT, BINDIR and DATADIR come from the build.
set(QUILLMOOR_EXEC "${CMAKE_INSTALL_PREFIX}/${BINDIR}/quillmoor")
configure_file("${DESKTOP_TEMPLATE}" "${DESKTOP_OUT}" @ONLY)
file(INSTALL "${DESKTOP_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/${DATADIR}/applications")
