# GoogleTest for the cross build, compiled from the sources Debian's
# googletest package installs. Its own code is not held to our warning rules.
set(KORVANE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${KORVANE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main)
  target_compile_options(${target} PRIVATE -Wno-error)
  # Ahead of GoogleTest's own headers: our platform hook (see the header).
  target_include_directories(${target} BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/googletest-win32)
endforeach()
# GoogleTest's own build names them GTest::gtest and GTest::gtest_main, as
# find_package(GTest) does on Linux.
