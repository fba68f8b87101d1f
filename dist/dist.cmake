# What goes with the game besides its executable and data.

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
