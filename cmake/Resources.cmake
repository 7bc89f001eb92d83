# Resource scripts are compiled to the standard binary .res format with the
# cross resource compiler, on every build, so that the Linux and Windows
# builds carry the same bytes. On Linux the .res is embedded in the binary as
# an ELF note, where the Win32 layer's resource functions find it.

find_program(KORVANE_WINDRES NAMES i686-w64-mingw32-windres windres REQUIRED)
find_program(KORVANE_CPP NAMES cpp REQUIRED)

# korvane_compile_resources(NAME RC_FILE): a target NAME producing
# ${CMAKE_CURRENT_BINARY_DIR}/NAME.res; its path is in the target property RES_FILE.
function(korvane_compile_resources name rc_file)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${name}.res)
  get_filename_component(rc_dir ${rc_file} DIRECTORY)
  add_custom_command(OUTPUT ${res}
    COMMAND ${KORVANE_WINDRES} --preprocessor=${KORVANE_CPP}
            -I ${CMAKE_SOURCE_DIR}/win32/include -I ${rc_dir}
            -i ${rc_file} -O res -o ${res}
    DEPENDS ${rc_file} ${rc_dir}/ResourceIds.h ${CMAKE_SOURCE_DIR}/win32/include/windows.h
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
