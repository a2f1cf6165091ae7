# Sources name project headers from the repository root ("winport/win32.h",
# "component/com/..."), yet no target may see the whole repository: each
# target sees only its own folders and the public headers of what it uses.
#
# zvv_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <path>...)
#
# Makes each <path> of the repository (a folder or a file) visible to
# <target> under its repository spelling, through an include root in the
# build tree that holds links to those paths and nothing else. Each call
# makes its own root, so a PRIVATE root of a target's internals never leaks
# into a PUBLIC one.
function(zvv_include_root target scope)
  get_property(count TARGET ${target} PROPERTY ZVV_INCLUDE_ROOT_COUNT)
  if(NOT count)
    set(count 0)
  endif()
  math(EXPR count "${count} + 1")
  set_property(TARGET ${target} PROPERTY ZVV_INCLUDE_ROOT_COUNT ${count})
  set(root "${CMAKE_BINARY_DIR}/include_roots/${target}_${count}")
  # Made afresh on every configure run, so a path dropped from the list goes.
  file(REMOVE_RECURSE "${root}")
  foreach(path IN LISTS ARGN)
    if(NOT EXISTS "${PROJECT_SOURCE_DIR}/${path}")
      message(FATAL_ERROR "zvv_include_root: ${path} is not in the repository")
    endif()
    get_filename_component(parent "${root}/${path}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${path}" "${root}/${path}" SYMBOLIC COPY_ON_ERROR)
  endforeach()
  target_include_directories(${target} ${scope} "${root}")
endfunction()
