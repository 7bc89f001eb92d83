# What the Windows build ships (Korvane.8BI and pnghost.exe) is the same bytes
# whichever folder it is built in and whenever: the linker leaves the PE
# time stamp at zero, source and build folders are written into objects by
# fixed names, and the debug information goes to a file of its own beside the
# binary (NAME.debug, found by debuggers through the binary's debug link), so
# that what a user takes away carries no build paths.

set(KORVANE_PREFIX_MAPS
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=korvane
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=korvane-build)
add_compile_options(${KORVANE_PREFIX_MAPS})
add_link_options(-Wl,--no-insert-timestamp)

# korvane_split_debug(TARGET): after each link, the debug information of
# TARGET moves to TARGET_FILE.debug and the binary keeps a link to it.
# objcopy stamps the PE header with the time of day unless SOURCE_DATE_EPOCH
# says otherwise; zero is what the linker wrote.
function(korvane_split_debug target)
  set(binary $<TARGET_FILE:${target}>)
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${objcopy} --only-keep-debug ${binary} ${binary}.debug
    COMMAND ${objcopy} --strip-debug --add-gnu-debuglink=${binary}.debug ${binary}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Splitting the debug information of ${target}"
    VERBATIM)
endfunction()
