# Tests that open real windows get their X server from CTest itself: the fixture below starts a private
# Xvfb of a known size before them and stops it after, so `ctest` alone, scripts/test.sh and CI agree
# whatever display (if any) the developer has. Sound in them goes to OpenAL's null output.
set(QUILLMOOR_XVFB ${CMAKE_SOURCE_DIR}/tests/x11/xvfb.sh)
set(QUILLMOOR_XVFB_STATE ${CMAKE_BINARY_DIR}/xvfb)
add_test(NAME xvfb_start COMMAND sh ${QUILLMOOR_XVFB} start ${QUILLMOOR_XVFB_STATE})
add_test(NAME xvfb_stop COMMAND sh ${QUILLMOOR_XVFB} stop ${QUILLMOOR_XVFB_STATE})
set_tests_properties(xvfb_start PROPERTIES FIXTURES_SETUP x_server TIMEOUT 30)
set_tests_properties(xvfb_stop PROPERTIES FIXTURES_CLEANUP x_server TIMEOUT 30)

# quillmoor_x11_test(NAME COMMAND...): COMMAND runs on the fixture's X server, one X test at a time.
function(quillmoor_x11_test name)
  add_test(NAME ${name} COMMAND sh ${QUILLMOOR_XVFB} run ${QUILLMOOR_XVFB_STATE} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED x_server RESOURCE_LOCK x_server
    ENVIRONMENT "ALSOFT_DRIVERS=null" TIMEOUT 300)
endfunction()
