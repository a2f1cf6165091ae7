# winport_add_resources(<target> <script.rc>)
#
# Compiles a resource script into the target. On POSIX the script becomes a
# C++ source (made by rcgen) that registers the module's string table,
# dialogs and file resources with winport when the module loads; on Windows
# the script goes to the resource compiler as it stands. The script's own
# #include files and resource files are tracked as dependencies.
function(winport_add_resources target script)
  get_filename_component(script_path "${script}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(WIN32)
    target_sources(${target} PRIVATE "${script_path}")
    return()
  endif()
  if(NOT TARGET rcgen)
    message(FATAL_ERROR "winport_add_resources: the rcgen tool is not part of this build")
  endif()
  get_filename_component(script_name "${script}" NAME_WE)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_${script_name}_resources.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND rcgen "${script_path}" -o "${output}" --depfile "${output}.d"
    DEPENDS rcgen "${script_path}"
    DEPFILE "${output}.d"
    COMMENT "Compiling resources ${script}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
