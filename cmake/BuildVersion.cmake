# The build's version header, written at every build but changed only when
# its text changes, so that a commit is named without rebuilding the rest:
# the project's version (pnghost.exe's version resource and `pnghost
# --version`) and the commit the sources are (git's name for it, with
# "-modified" when tracked files differ from it; "unknown" outside a git
# checkout, as in a source archive). Nothing else goes in, so that two builds
# of one commit stay the same bytes.
#
# As a script: cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=1.0 -P BuildVersion.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  set(commit unknown)
  execute_process(COMMAND git -C ${SOURCE_DIR} rev-parse --short=12 HEAD
    OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
  if(status EQUAL 0 AND head)
    set(commit ${head})
    execute_process(COMMAND git -C ${SOURCE_DIR} diff --quiet HEAD -- RESULT_VARIABLE changed ERROR_QUIET)
    if(NOT changed EQUAL 0)
      string(APPEND commit -modified)
    endif()
  endif()
  string(REPLACE "." "," numbers "${VERSION}.0.0")
  set(text "// Made by cmake/BuildVersion.cmake at build time.
#define KORVANE_VERSION_TEXT \"${VERSION}\"
#define KORVANE_VERSION_NUMBERS ${numbers}
#define KORVANE_BUILD_COMMIT \"${commit}\"
")
  set(old "")
  if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old)
  endif()
  if(NOT old STREQUAL text)
    file(WRITE ${OUTPUT} "${text}")
  endif()
  return()
endif()

# korvane_build_version(TARGET): the target TARGET brings
# ${CMAKE_BINARY_DIR}/generated/BuildVersion.h up to date before every build.
function(korvane_build_version target)
  set(header ${CMAKE_BINARY_DIR}/generated/BuildVersion.h)
  add_custom_target(${target}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${header}
            -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/BuildVersion.cmake
    BYPRODUCTS ${header}
    COMMENT "Naming the build's commit"
    VERBATIM)
endfunction()
