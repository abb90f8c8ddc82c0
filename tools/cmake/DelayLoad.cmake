# Delay-import libraries for system DLLs that the first frame does not need. A program
# linked with zx_delay_<name> instead of <name> loads <name>.dll at the first call of one
# of its functions, not at process start. The loader asks the default DLL directories,
# which the programs restrict to System32 before anything else runs.
#   zx_delay_load_library(<name>)   e.g. winhttp: the target zx_delay_winhttp
function(zx_delay_load_library name)
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  set(library ${folder}/lib${name}_delay.a)
  if(NOT EXISTS ${library})
    find_library(ZX_IMPORT_${name} NAMES ${name} REQUIRED NO_CACHE)
    execute_process(COMMAND ${CMAKE_NM} ${ZX_IMPORT_${name}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL " I __imp_[A-Za-z0-9_]+" imports "${symbols}")
    list(TRANSFORM imports REPLACE " I __imp_" "")
    list(REMOVE_DUPLICATES imports)
    list(JOIN imports "\n" exports)
    file(WRITE ${folder}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${ZX_DLLTOOL} --def ${folder}/${name}.def --dllname ${name}.dll
                            --output-delaylib ${library}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
  add_library(zx_delay_${name} INTERFACE)
  target_link_libraries(zx_delay_${name} INTERFACE ${library})
endfunction()
