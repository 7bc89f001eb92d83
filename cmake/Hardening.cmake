# What every Windows program and module this build links carries, beyond
# ASLR and DEP (the linker's defaults):
#  - stack cookies on every function with a local array or a local whose
#    address is taken (-fstack-protector-strong), seeded and checked by
#    hardening/StackGuard.cpp, whose failure ends the process at once;
#  - _FORTIFY_SOURCE=2: mingw-w64's string.h and stdio.h send copies into
#    buffers of a size the compiler knows to libssp's checked copies (linked
#    in from the static libssp.a, so no libssp DLL), in optimised builds;
#  - NO_SEH: nothing in these images registers a structured exception
#    handler (libpng's errors go by setjmp and longjmp, C++ exceptions by
#    DWARF unwind tables), so Windows is told to call none in them. GNU ld
#    cannot make a SafeSEH table, the other way to declare them.
# The static libpng and zlib are built with the same flags
# (scripts/build-libpng-win32.sh).
add_compile_options(-fstack-protector-strong)
add_compile_definitions(_FORTIFY_SOURCE=2)
add_link_options(-Wl,--no-seh)

execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libssp.a
  OUTPUT_VARIABLE KORVANE_LIBSSP OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT IS_ABSOLUTE "${KORVANE_LIBSSP}" OR NOT EXISTS "${KORVANE_LIBSSP}")
  message(FATAL_ERROR "The cross compiler has no static libssp.a (it printed '${KORVANE_LIBSSP}')")
endif()
# Last on every link line: the checked copies are called from the static
# libpng and zlib too, which come after the program's own libraries.
foreach(language C CXX)
  string(APPEND CMAKE_${language}_STANDARD_LIBRARIES " \"${KORVANE_LIBSSP}\"")
endforeach()

add_library(korvane_stack_guard OBJECT ${CMAKE_SOURCE_DIR}/hardening/StackGuard.cpp)

# korvane_harden_programs(DIR): links the cookie and the checked copies into
# every program and module defined in DIR and the folders below it, so that
# none is left to libssp's own cookie.
function(korvane_harden_programs dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|MODULE_LIBRARY|SHARED_LIBRARY)$")
      target_link_libraries(${target} PRIVATE korvane_stack_guard)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(folder IN LISTS folders)
    korvane_harden_programs(${folder})
  endforeach()
endfunction()
