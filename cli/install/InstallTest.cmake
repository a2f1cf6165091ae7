# Installs a build into a fresh prefix, then runs the installed zvv on the installed sample.
# -DBUILD=<build folder> -DPREFIX=<folder to install into, emptied first>
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE installed OUTPUT_QUIET)
if(NOT installed EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${installed}")
endif()

foreach(file bin/zvv lib/libZoViveviVadiro.so lib/libdizode.so lib/libwinport.so
             share/man/man1/zvv.1 share/bash-completion/completions/zvv
             share/zsh/site-functions/_zvv share/zvv/app/Help/index.htm)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(IS_SYMLINK ${PREFIX}/share/zvv/app OR IS_SYMLINK ${PREFIX}/share/zvv/app/Help)
  message(FATAL_ERROR "the installed sample leads back to the build or source tree")
endif()

# No registration and no folder from the environment: the installed zvv must find its component
# and its sample by its own place alone.
set(zvv ${CMAKE_COMMAND} -E env --unset=ZVV_INSTALL_DIR ZVV_REGISTRY_FILE=${PREFIX}/registry.reg
        ${PREFIX}/bin/zvv --no-ui --color never)
execute_process(COMMAND ${zvv} wildcard RESULT_VARIABLE searched OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT searched EQUAL 0 OR NOT out MATCHES "query-language/wildcards\\.htm")
  message(FATAL_ERROR "the installed zvv did not search its sample (${searched}):\n${out}${err}")
endif()
execute_process(COMMAND ${zvv} status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT out MATCHES "Index: ${PREFIX}/share/zvv/app/dizode/")
  message(FATAL_ERROR "the index is not in the installed sample:\n${out}${err}")
endif()

# The manual page reads without a warning, and bash completes a command.
find_program(GROFF groff)
if(GROFF)
  execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${PREFIX}/share/man/man1/zvv.1
                  ERROR_VARIABLE warnings)
  if(warnings)
    message(FATAL_ERROR "zvv.1: ${warnings}")
  endif()
endif()
execute_process(
  COMMAND bash -c "source \"$1\"; COMP_WORDS=(zvv --json st); COMP_CWORD=2; _zvv; echo \"\${COMPREPLY[*]}\""
          bash ${PREFIX}/share/bash-completion/completions/zvv
  OUTPUT_VARIABLE completed)
if(NOT completed STREQUAL "status\n")
  message(FATAL_ERROR "bash completion of 'zvv --json st' gave: ${completed}")
endif()
