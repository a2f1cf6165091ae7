# winport_add_resources(<target> <script.rc> [DEPENDS <file>...]
#                       [INCLUDE_DIRECTORIES <folder>...])
#
# Compiles a resource script into the target. On Windows the script goes to
# the resource compiler as it stands. Elsewhere the same resource compiler
# writes the script's resource file, with WINPORT defined so that the script
# can name what winport reads instead of what only Windows reads, and the
# file's bytes are embedded in the target with an object that registers them
# with winport when the module loads (winport/module_resources.h). DEPENDS
# names the files the script includes or names (the compiler reports none);
# the script's folder and INCLUDE_DIRECTORIES are searched for them.
if(NOT WIN32)
  find_program(WINPORT_WINDRES NAMES i686-w64-mingw32-windres windres REQUIRED)
endif()
set(WINPORT_EMBED_RESOURCES "${CMAKE_CURRENT_LIST_DIR}/EmbedResources.cmake")

function(winport_add_resources target script)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "DEPENDS;INCLUDE_DIRECTORIES")
  get_filename_component(script_path "${script}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(WIN32)
    target_sources(${target} PRIVATE "${script_path}")
    return()
  endif()
  get_filename_component(script_dir "${script_path}" DIRECTORY)
  get_filename_component(script_name "${script}" NAME_WE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_${script_name}")
  set(includes -I "${script_dir}")
  foreach(folder IN LISTS arg_INCLUDE_DIRECTORIES)
    list(APPEND includes -I "${folder}")
  endforeach()
  add_custom_command(
    OUTPUT "${output}.res"
    COMMAND ${WINPORT_WINDRES} -DWINPORT ${includes} -O res -i "${script_path}" -o "${output}.res"
    DEPENDS "${script_path}" ${arg_DEPENDS}
    WORKING_DIRECTORY "${script_dir}"
    COMMENT "Compiling resources ${script}"
    VERBATIM)
  add_custom_command(
    OUTPUT "${output}_resources.cpp"
    COMMAND ${CMAKE_COMMAND} -DRES=${output}.res -DOUT=${output}_resources.cpp -P
            "${WINPORT_EMBED_RESOURCES}"
    DEPENDS "${output}.res" "${WINPORT_EMBED_RESOURCES}"
    COMMENT "Embedding resources ${script_name}.res"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}_resources.cpp")
endfunction()
