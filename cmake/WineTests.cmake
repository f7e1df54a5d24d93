# Running the Windows build's tests on Linux under wine (Debian's wine64 package): ctest and
# test discovery start every Windows program through the generated wine-run script.
find_program(KELVANE_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KELVANE_WINE NAMES wine64 wine)
find_program(KELVANE_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(KELVANE_WINESERVER NAMES wineserver64 wineserver)
if(NOT KELVANE_WINE OR NOT KELVANE_WINESERVER)
  message(FATAL_ERROR "wine64 is needed to run the Windows tests (apt-get install wine64), or "
                      "configure with -DKELVANE_BUILD_TESTS=OFF")
endif()

set(KELVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
  WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
# Tests are listed when ctest starts, not while building, so building needs no wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The environment entry that puts `folder` on a Windows program's DLL search path. Wine maps
# the Unix root to drive Z:.
function(kelvane_dll_path_env var folder)
  set(${var} "WINEPATH=Z:${folder}" PARENT_SCOPE)
endfunction()
