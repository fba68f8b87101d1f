# The Windows build (cross-built with mingw-w64, see cmake/mingw-w64-x86_64.cmake; scripts/windows.sh):
#   quillmoor.exe           the game over the real Win32, Direct3D 9 and DirectSound, with our D3DX inside
#   quillmoor_replay.exe    the headless replay runner: the game over our headless stand-in, for reports
#                           that must equal the Linux build's
#   quillmoor_replay_real.exe  the replay runner over the real system (scripted input, frames saved as
#                           PNG): test-only, for the pictures held against the Linux build's
#   quillmoor_win_tests.exe the unit tests that hold on both systems; our D3DX over the real Direct3D 9
enable_language(RC)
set(P ${CMAKE_SOURCE_DIR}/platform)
file(GLOB GAME_SOURCES CONFIGURE_DEPENDS
  app/*.cpp diag/*.cpp resource/*.cpp sound/*.cpp stage/*.cpp player/*.cpp scene/*.cpp)
file(GLOB D3DX_SOURCES CONFIGURE_DEPENDS ${P}/d3dx/*.cpp)
set(REPLAY_DIR ${CMAKE_SOURCE_DIR}/tools/replay)
set(REPLAY_COMMON ${REPLAY_DIR}/runner.cpp ${REPLAY_DIR}/replay.cpp ${REPLAY_DIR}/start.cpp ${REPLAY_DIR}/report.cpp
  ${REPLAY_DIR}/screenshot_stored.cpp)

# PNG pictures through WIC, for both D3DX builds below; compiled against the system's own headers.
add_library(quillmoor_png_wic STATIC ${P}/d3dx/png/wic.cpp)
target_include_directories(quillmoor_png_wic PRIVATE ${P}/common ${P})
target_link_libraries(quillmoor_png_wic PUBLIC ole32 uuid)

# ---- The game over the real system ----
add_library(quillmoor_d3dx STATIC ${D3DX_SOURCES})
target_include_directories(quillmoor_d3dx PUBLIC ${P}/common PRIVATE ${P})
target_link_libraries(quillmoor_d3dx PUBLIC quillmoor_png_wic d3d9)

add_library(quillmoor_game STATIC ${GAME_SOURCES})
target_include_directories(quillmoor_game PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillmoor_game PUBLIC quillmoor_d3dx dsound dxguid winmm)

add_library(quillmoor_folder STATIC ${P}/windows/game_folder.cpp)
target_include_directories(quillmoor_folder PUBLIC ${P})

# The system's Direct3D 9 with a Present that keeps 60 frames a second: compiled into each program that
# draws with it, so that it is the Direct3DCreate9 the game calls.
set(PACED_PRESENT ${P}/windows/paced_present.cpp)

add_executable(quillmoor WIN32 ${P}/windows/main.cpp ${P}/windows/quillmoor.rc ${PACED_PRESENT})
target_link_libraries(quillmoor PRIVATE quillmoor_game quillmoor_folder)

# ---- The game over our headless stand-in ----
file(GLOB STANDIN_SOURCES CONFIGURE_DEPENDS ${P}/win32/*.cpp ${P}/d3d9/*.cpp ${P}/dsound/*.cpp ${P}/headless/*.cpp
  ${P}/pad/*.cpp)
list(REMOVE_ITEM STANDIN_SOURCES ${P}/win32/codepage.cpp)  # kernel32's own conversions serve here
add_library(platform_headless STATIC ${STANDIN_SOURCES} ${D3DX_SOURCES})
target_include_directories(platform_headless PUBLIC ${P}/include ${P}/common ${P})
target_link_libraries(platform_headless PUBLIC quillmoor_png_wic)

add_library(quillmoor_game_standin STATIC ${GAME_SOURCES})
target_include_directories(quillmoor_game_standin PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quillmoor_game_standin PUBLIC platform_headless)

add_executable(quillmoor_replay ${REPLAY_DIR}/main.cpp ${REPLAY_COMMON} ${REPLAY_DIR}/driver_headless.cpp)
target_link_libraries(quillmoor_replay PRIVATE quillmoor_game_standin)

# ---- Test-only: the replay runner over the real system ----
add_executable(quillmoor_replay_real WIN32 ${REPLAY_DIR}/main.cpp ${REPLAY_COMMON} ${REPLAY_DIR}/driver_real.cpp
  ${P}/windows/replay_hooks.cpp ${PACED_PRESENT})
target_include_directories(quillmoor_replay_real PRIVATE ${P})
target_link_libraries(quillmoor_replay_real PRIVATE quillmoor_game)

# ---- Unit tests ----
if(QUILLMOOR_TESTS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_executable(quillmoor_win_tests
    tests/d3dx/math_test.cpp tests/d3dx/device_client_test.cpp tests/stage/stage_file_test.cpp
    tests/tools/replay_test.cpp ${REPLAY_DIR}/replay.cpp ${REPLAY_DIR}/screenshot_stored.cpp tests/windows/folder_test.cpp)
  target_include_directories(quillmoor_win_tests PRIVATE tests ${P})
  target_link_libraries(quillmoor_win_tests PRIVATE quillmoor_game quillmoor_folder gtest gtest_main)
endif()

set_target_properties(quillmoor quillmoor_replay quillmoor_replay_real PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
