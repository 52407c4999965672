# Fails when a program links a shared library it must not: the server-side tools stay free of
# windowing, text and (for the server) drawing libraries, whatever their libraries pull in.
#   cmake -DPROGRAM=path -DFORBIDDEN="SDL2;pango" -P CheckLinks.cmake
execute_process(COMMAND ldd "${PROGRAM}" OUTPUT_VARIABLE linked ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed (${status}): ${errors}")
endif()
if(NOT linked MATCHES "libc\\.so")
  message(FATAL_ERROR "ldd ${PROGRAM} listed no C library; cannot judge its links:\n${linked}")
endif()
set(found)
foreach(library IN LISTS FORBIDDEN)
  string(REGEX MATCHALL "lib${library}[^\n\t /]*\\.so[.0-9]*" hits "${linked}")
  if(hits)
    list(APPEND found ${hits})
  endif()
endforeach()
if(found)
  list(REMOVE_DUPLICATES found)
  string(REPLACE ";" "\n  " listed "${found}")
  message(FATAL_ERROR "${PROGRAM} links libraries it must not:\n  ${listed}")
endif()
message(STATUS "${PROGRAM}: none of ${FORBIDDEN} linked")
