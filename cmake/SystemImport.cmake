# System libraries that are not on Windows' list of known DLLs are not
# imported by name: the loader would look beside the programs first, where
# anyone can plant a DLL of that name (a zip unpacked into Downloads). Their
# functions are reached through an import table of our own, generated from
# the toolchain's import library (the same __imp_ pointers and jump stubs it
# provides), which the program fills first thing from the system folder
# alone (LoadLibrariesFromSystemFolderOnly: LoadLibraryExW with
# LOAD_LIBRARY_SEARCH_SYSTEM32, then GetProcAddress). The code that calls
# them does not change. (MinGW's delay-load libraries would do the same,
# but their 64-bit stubs lose a function's first float argument.)
#
#   tavelo_system_import(NAME)   defines the target system_NAME to link instead of NAME

enable_language(ASM)

function(tavelo_system_import name)
  if(TARGET system_${name})
    return()
  endif()
  find_library(TAVELO_IMPORT_${name} NAMES ${name} REQUIRED)
  set(source ${CMAKE_BINARY_DIR}/system-import/${name}.S)
  set(underscore OFF)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(underscore ON)
  endif()
  add_custom_command(
    OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT_LIBRARY=${TAVELO_IMPORT_${name}} -DNAME=${name}
            -DOUT=${source} -DUNDERSCORE=${underscore} -DPOINTER=${CMAKE_SIZEOF_VOID_P}
            -P ${PROJECT_SOURCE_DIR}/cmake/WriteSystemImport.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/WriteSystemImport.cmake ${TAVELO_IMPORT_${name}}
    COMMENT "Import table of our own for ${name}.dll"
    VERBATIM)
  add_library(system_${name} STATIC ${source})
  target_link_libraries(system_${name} PUBLIC tavelo_common)  # tavelo_fill_imports
endfunction()
