cmake_minimum_required(VERSION 3.25)
# Mirrors the source resource folder into the built bundle: real folders, and a symbolic link
# per file, so that an edited source shows at once and a new one after the next build. Links
# whose source is gone are removed; files the build writes (the drawn art) are left alone.
#   cmake -DSOURCE=dir -DDEST=dir [-DEXCLUDE=name;name] -P MirrorResources.cmake
file(MAKE_DIRECTORY "${DEST}")
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(entry ${entries})
  string(REGEX MATCH "^[^/]+" top "${entry}")
  if(top IN_LIST EXCLUDE)
    continue()
  endif()
  if(IS_DIRECTORY "${SOURCE}/${entry}")
    file(MAKE_DIRECTORY "${DEST}/${entry}")
  elseif(NOT IS_SYMLINK "${DEST}/${entry}" AND NOT EXISTS "${DEST}/${entry}")
    file(CREATE_LINK "${SOURCE}/${entry}" "${DEST}/${entry}" SYMBOLIC)
  endif()
endforeach()

file(GLOB_RECURSE built LIST_DIRECTORIES false RELATIVE "${DEST}" "${DEST}/*")
foreach(entry ${built})
  if(IS_SYMLINK "${DEST}/${entry}" AND NOT EXISTS "${SOURCE}/${entry}")
    file(REMOVE "${DEST}/${entry}")
  endif()
endforeach()
