# The engine's libraries for the Windows build: static MinGW builds from the
# distribution's source packages, made (once) by scripts/windows-deps.sh in a
# cache shared by every build folder. Afterwards pkg-config and the find
# commands see those builds and nothing of the build machine's own libraries.
set(ZVV_WINDOWS_DEPS_DIR "${PROJECT_SOURCE_DIR}/build/windows-deps"
    CACHE PATH "Cache of the engine's libraries built for Windows")
execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/windows-deps.sh" "${ZVV_WINDOWS_DEPS_DIR}"
                RESULT_VARIABLE deps_result)
if(NOT deps_result EQUAL 0)
  message(FATAL_ERROR "The engine's Windows libraries could not be built (${deps_result})")
endif()
file(STRINGS "${ZVV_WINDOWS_DEPS_DIR}/prefixes.txt" deps_prefixes)

set(pc_dirs "")
foreach(prefix IN LISTS deps_prefixes)
  list(APPEND CMAKE_FIND_ROOT_PATH "${prefix}")
  if(EXISTS "${prefix}/lib/pkgconfig")
    list(APPEND pc_dirs "${prefix}/lib/pkgconfig")
  endif()
  if(EXISTS "${prefix}/include/xxhash.h")
    # Header only: the hash is compiled into the engine.
    add_library(WindowsDeps::xxhash INTERFACE IMPORTED)
    set_target_properties(WindowsDeps::xxhash PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${prefix}/include")
  endif()
endforeach()
string(REPLACE ";" ":" pc_dirs "${pc_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pc_dirs}")
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})
