# Every library exports only its own headers, under the prefix its users write
# ("Foundation/Value.h", "Content/ContentItem.h"): the headers are linked into a build folder of
# the library's own, and that folder is the library's only public include directory. A header
# is therefore reachable only through a declared dependency, even where two libraries share a
# source folder.
function(pictavia_public_headers target prefix)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  file(REMOVE_RECURSE "${root}")
  file(MAKE_DIRECTORY "${root}/${prefix}")
  foreach(header IN LISTS ARGN)
    get_filename_component(absolute "${header}" ABSOLUTE)
    get_filename_component(name "${header}" NAME)
    file(CREATE_LINK "${absolute}" "${root}/${prefix}/${name}" SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()

# The usual case: a library that owns every header of its source folder.
function(pictavia_folder_headers target prefix)
  file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  pictavia_public_headers(${target} ${prefix} ${headers})
endfunction()
