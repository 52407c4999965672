# Runs `gallery --offscreen` into a fresh folder and checks that it succeeded (the gallery plays
# touches on its interactive pages and fails when one did not do what it should) and that every
# page became a PNG of the tall phone's screen. The tour runs once more in Russian: its touches
# and checks hold in every language, and no page shows a bare localization key.
#   cmake -DGALLERY=<program> -DOUTPUT=<folder> -P CheckOffscreen.cmake
file(REMOVE_RECURSE ${OUTPUT} ${OUTPUT}-ru)
execute_process(COMMAND ${GALLERY} --offscreen ${OUTPUT}-ru --lang ru RESULT_VARIABLE status
                OUTPUT_VARIABLE printed ERROR_VARIABLE complaints)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gallery --offscreen --lang ru exited with ${status}:\n${complaints}\n${printed}")
endif()
execute_process(COMMAND ${GALLERY} --offscreen ${OUTPUT} RESULT_VARIABLE status
                OUTPUT_VARIABLE printed ERROR_VARIABLE complaints)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gallery --offscreen exited with ${status}:\n${complaints}\n${printed}")
endif()
set(pages
    1-controls 2-content-modes 3-svg-states 4-animation 5-content-grid 6-gestures 7-paged-strip
    8-loading 9-balloon-first 9-balloon 10-navigation 11-alert 12-action-sheet 13-picker-library
    13-picker)
foreach(page ${pages})
  set(png ${OUTPUT}/${page}.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "gallery wrote no ${png}:\n${printed}")
  endif()
  file(READ ${png} signature LIMIT 8 HEX)
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${png} is not a PNG file")
  endif()
  # The header's width and height: the tall phone's 640 x 1136 pixels.
  file(READ ${png} size OFFSET 16 LIMIT 8 HEX)
  if(NOT size STREQUAL "0000028000000470")
    message(FATAL_ERROR "${png} is not 640 x 1136 pixels (header ${size})")
  endif()
  file(SIZE ${png} bytes)
  if(bytes LESS 1000)
    message(FATAL_ERROR "${png} is too small to hold a screen (${bytes} bytes)")
  endif()
endforeach()
file(GLOB written RELATIVE ${OUTPUT} ${OUTPUT}/*.png)
list(LENGTH written count)
list(LENGTH pages expected)
if(NOT count EQUAL expected)
  message(FATAL_ERROR "gallery wrote ${count} screenshots, not ${expected}: ${written}")
endif()
