# Delayed imports of system DLLs for an elevated program.
#
# The loader resolves a program's static imports before its first line runs, and for
# a DLL that is not one of the system's KnownDLLs it looks in the program's own folder
# first: for Setup.exe usually the user's Downloads folder, where anyone may drop a
# "version.dll". A search policy set in code comes too late for those. So every such
# DLL is imported with delay instead: the import resolves on the first call, through
# the delay-load helper of the mingw runtime, which Setup.cpp points at system32.
#
# qarto_delay_load(TARGET DLL...) makes, once per tree, a delay import library for each
# DLL (the exports of mingw's own import library, rebuilt by dlltool as a delay
# library) in a folder that TARGET's link searches before the system folders, so every
# "-l<dll>" of TARGET and of its dependencies (OpenSSL and curl included) links the
# delay library. Nothing else in the tree changes.

function(qarto_delay_load target)
  set(dir ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${dir})
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(prefix "__imp__")
    set(kill_at --kill-at)
  else()
    set(prefix "__imp_")
    set(kill_at)
  endif()
  set(triple ${MINGW_TRIPLE})
  foreach(dll IN LISTS ARGN)
    set(out ${dir}/lib${dll}.a)
    if(EXISTS ${out})
      continue()
    endif()
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE import_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT EXISTS "${import_lib}")
      message(FATAL_ERROR "no import library for ${dll}.dll (${import_lib})")
    endif()
    execute_process(COMMAND ${triple}-nm -g ${import_lib} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "${triple}-nm could not read ${import_lib}")
    endif()
    # Each exported function has an "__imp_" pointer in the import library.
    string(REGEX MATCHALL "[ \t]I ${prefix}[^\r\n]+" pointers "${symbols}")
    set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
    set(count 0)
    foreach(pointer IN LISTS pointers)
      string(REGEX REPLACE "^[ \t]I ${prefix}" "" name "${pointer}")
      string(APPEND def "${name}\n")
      math(EXPR count "${count} + 1")
    endforeach()
    if(count EQUAL 0)
      message(FATAL_ERROR "no exports found in ${import_lib}")
    endif()
    file(WRITE ${dir}/${dll}.def "${def}")
    execute_process(COMMAND ${triple}-dlltool ${kill_at} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
                            --output-delaylib ${out}.tmp
                    RESULT_VARIABLE rc ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "dlltool could not make the delay library of ${dll}.dll: ${err}")
    endif()
    file(RENAME ${out}.tmp ${out})
  endforeach()
  target_link_directories(${target} BEFORE PRIVATE ${dir})
endfunction()
