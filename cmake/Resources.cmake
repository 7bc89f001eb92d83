# Resource scripts are compiled to the standard binary .res format with the
# cross resource compiler, on every build, so that the Linux and Windows
# builds carry the same bytes. On Linux the .res is embedded in the binary as
# an ELF note, where the Win32 layer's resource functions find it; on Windows
# it is linked into the DLL's resource section.

find_program(KORVANE_WINDRES NAMES i686-w64-mingw32-windres windres REQUIRED)
if(WIN32)
  # The real Win32 headers, through the cross compiler's preprocessor.
  set(KORVANE_RC_PREPROCESSOR --preprocessor=${CMAKE_C_COMPILER} --preprocessor-arg=-E
      --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED)
  foreach(map ${KORVANE_PREFIX_MAPS})
    list(APPEND KORVANE_RC_PREPROCESSOR --preprocessor-arg=${map})
  endforeach()
  set(KORVANE_RC_DEPENDS "")
else()
  # Our own windows.h, which the layer's headers share.
  find_program(KORVANE_CPP NAMES cpp REQUIRED)
  set(KORVANE_RC_PREPROCESSOR --preprocessor=${KORVANE_CPP} -I ${CMAKE_SOURCE_DIR}/win32/include)
  set(KORVANE_RC_DEPENDS ${CMAKE_SOURCE_DIR}/win32/include/windows.h)
endif()

# korvane_compile_resources(NAME RC_FILE [INCLUDES DIR...] [DEPENDS FILE_OR_TARGET...]):
# a target NAME producing ${CMAKE_CURRENT_BINARY_DIR}/NAME.res from RC_FILE,
# which may include its folder's ResourceIds.h and headers of the INCLUDES
# folders; its path is in the target property RES_FILE.
function(korvane_compile_resources name rc_file)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "INCLUDES;DEPENDS")
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  get_filename_component(rc_dir ${rc_file} DIRECTORY)
  set(rc_headers "")
  if(EXISTS ${rc_dir}/ResourceIds.h)
    set(rc_headers ${rc_dir}/ResourceIds.h)
  endif()
  set(includes -I ${rc_dir})
  foreach(dir ${arg_INCLUDES})
    list(APPEND includes -I ${dir})
  endforeach()
  add_custom_command(OUTPUT ${res}
    COMMAND ${KORVANE_WINDRES} ${KORVANE_RC_PREPROCESSOR} ${includes}
            -i ${rc_file} -O res -o ${res}
    DEPENDS ${rc_file} ${rc_headers} ${KORVANE_RC_DEPENDS} ${arg_DEPENDS}
    COMMENT "Compiling resources ${rc_file}"
    VERBATIM)
  add_custom_target(${name} DEPENDS ${res})
  set_target_properties(${name} PROPERTIES RES_FILE ${res})
endfunction()

# korvane_embed_resources(TARGET RESOURCE_TARGET): link the compiled .res into
# TARGET as the note "Win32" of type 1 in section .note.win32.resources.
function(korvane_embed_resources target res_target)
  get_target_property(res ${res_target} RES_FILE)
  set(asm ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.S)
  file(WRITE ${asm}
"    .section .note.win32.resources,\"a\",@note
    .balign 4
    .long 6
    .long 2f - 1f
    .long 1
    .asciz \"Win32\"
    .balign 4
1:  .incbin \"${res}\"
2:  .balign 4
    .section .note.GNU-stack,\"\",@progbits
")
  set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${res})
  target_sources(${target} PRIVATE ${asm})
  add_dependencies(${target} ${res_target})
endfunction()

# korvane_link_resources(TARGET RESOURCE_TARGET): link the compiled .res into
# the Windows binary TARGET, converted to a COFF object with the same bytes.
function(korvane_link_resources target res_target)
  get_target_property(res ${res_target} RES_FILE)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.o)
  add_custom_command(OUTPUT ${object}
    COMMAND ${KORVANE_WINDRES} -J res -O coff -i ${res} -o ${object}
    DEPENDS ${res_target} ${res}
    COMMENT "Converting ${res} for linking"
    VERBATIM)
  set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${object})
endfunction()
