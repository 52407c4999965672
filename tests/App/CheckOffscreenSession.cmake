# Plays `pictavia --offscreen` against a reference server of its own, on a free loopback port,
# serving the published sample pack and the sample ads, and checks that the session succeeded,
# that every screen it passed became a PNG and that the saved picture is a JPEG.
#   cmake -DPICTAVIA=<program> -DSERVER=<reference-server> -DBUILDER=<catalog-builder>
#         -DPACK=<sample pack> -DADS=<sample ads> -DOUTPUT=<folder> -P CheckOffscreenSession.cmake
file(REMOVE_RECURSE ${OUTPUT})
file(MAKE_DIRECTORY ${OUTPUT})
execute_process(COMMAND ${BUILDER} publish ${PACK} ${OUTPUT}/catalog RESULT_VARIABLE status
                OUTPUT_QUIET ERROR_VARIABLE complaints)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "catalog-builder publish exited with ${status}:\n${complaints}")
endif()

# The server runs in the background, on the port the system picks; `timeout` ends it should this
# script be killed before it stops the server itself.
set(log ${OUTPUT}/server.log)
execute_process(
  COMMAND sh -c "timeout 1800 \"$0\" --catalog \"$1\" --ads \"$2\" --stats \"$3\" --port 0 \
                 >\"$4\" 2>&1 & echo $!"
          ${SERVER} ${OUTPUT}/catalog ${ADS} ${OUTPUT}/stats.sqlite ${log}
  OUTPUT_VARIABLE server OUTPUT_STRIP_TRAILING_WHITESPACE)
function(stop_server)
  execute_process(COMMAND kill ${server} OUTPUT_QUIET ERROR_QUIET)
endfunction()
function(fail text)
  stop_server()
  message(FATAL_ERROR "${text}")
endfunction()

set(root "")
foreach(attempt RANGE 600)
  if(EXISTS ${log})
    file(READ ${log} started)
    if(started MATCHES "at (http://[^ ]+)/standard/")
      set(root ${CMAKE_MATCH_1})
      break()
    endif()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 0.1)
endforeach()
if(root STREQUAL "")
  file(READ ${log} started)
  fail("the reference server did not start:\n${started}")
endif()

execute_process(COMMAND ${PICTAVIA} --offscreen ${OUTPUT}/session --server ${root}
                RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE complaints
                TIMEOUT 900)
stop_server()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pictavia --offscreen exited with ${status}:\n${complaints}\n${printed}")
endif()

# One screenshot per screen, in the order the session passes them, then the saved picture.
set(screens main editor-grid help-tour editor-frame photo-picker editor-photo editor-placed
            preview share-sheet)
string(REGEX REPLACE "\n$" "" printed "${printed}")
string(REPLACE "\n" ";" paths "${printed}")
list(LENGTH screens expected)
math(EXPR expected "${expected} + 1")
list(LENGTH paths count)
if(NOT count EQUAL expected)
  message(FATAL_ERROR "pictavia printed ${count} paths, not ${expected}:\n${printed}")
endif()
set(index 0)
foreach(screen ${screens})
  list(GET paths ${index} png)
  math(EXPR index "${index} + 1")
  if(NOT png STREQUAL "${OUTPUT}/session/${index}-${screen}.png")
    message(FATAL_ERROR "screenshot ${index} is ${png}, not ${index}-${screen}.png")
  endif()
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "pictavia printed ${png} but wrote no such file")
  endif()
  file(READ ${png} signature LIMIT 8 HEX)
  # The tall phone's 640 x 1136 pixels, in the header.
  file(READ ${png} size OFFSET 16 LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT size STREQUAL "0000028000000470")
    message(FATAL_ERROR "${png} is not a PNG of 640 x 1136 pixels")
  endif()
endforeach()
list(GET paths ${index} saved)
get_filename_component(album "${saved}" DIRECTORY)
get_filename_component(extension "${saved}" LAST_EXT)
if(NOT album STREQUAL "${OUTPUT}/session/saved" OR NOT extension STREQUAL ".jpg"
   OR NOT EXISTS "${saved}")
  message(FATAL_ERROR "no saved picture: ${saved}")
endif()
file(READ ${saved} signature LIMIT 3 HEX)
file(SIZE ${saved} bytes)
if(NOT signature STREQUAL "ffd8ff" OR bytes LESS 10000)
  message(FATAL_ERROR "${saved} is not a JPEG picture (${bytes} bytes)")
endif()
