# Installs the engine alone into a fresh prefix, then builds and runs a C
# program against it twice: found through the CMake package (with the version
# checked), and through pkg-config. Both must print the same status text.
#
# cmake -DBUILD=<project build> -DWORK=<scratch folder> -DCONSUMER=<this folder>
#       -DGENERATOR=<generator> -DCC=<C compiler> -DCFLAGS=<flags> -DLDFLAGS=<flags>
#       -DVERSION=<project version> -P InstallConsumerTest.cmake
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${ARGN}\nfailed (${failed}):\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

set(prefix "${WORK}/prefix")
file(REMOVE_RECURSE "${WORK}")
run(${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}" --component dizode)
foreach(file include/dizode/dizode.h lib/libdizode.so lib/cmake/dizode/dizodeConfig.cmake
             lib/cmake/dizode/dizodeConfigVersion.cmake lib/pkgconfig/dizode.pc)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "The engine's installation lacks ${file}")
  endif()
endforeach()

separate_arguments(cflags UNIX_COMMAND "${CFLAGS}")
separate_arguments(ldflags UNIX_COMMAND "${LDFLAGS}")

run(${CMAKE_COMMAND} -S "${CONSUMER}" -B "${WORK}/package" -G "${GENERATOR}"
    -DCMAKE_C_COMPILER=${CC} "-DCMAKE_C_FLAGS=${CFLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LDFLAGS}"
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DDIZODE_VERSION=${VERSION})
run(${CMAKE_COMMAND} --build "${WORK}/package")
run("${WORK}/package/consumer")
set(package_text "${out}")

set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
run(pkg-config --modversion dizode)
string(STRIP "${out}" pc_version)
if(NOT pc_version STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config gives version ${pc_version}, the project is ${VERSION}")
endif()
run(pkg-config --cflags --libs dizode)
separate_arguments(pc_flags UNIX_COMMAND "${out}")
run(${CC} ${cflags} "${CONSUMER}/consumer.c" -o "${WORK}/pc_consumer" ${pc_flags} ${ldflags}
    "-Wl,-rpath,${prefix}/lib")
run("${WORK}/pc_consumer")
if(NOT out STREQUAL package_text)
  message(FATAL_ERROR "The two consumers differ:\n${package_text}\n${out}")
endif()
