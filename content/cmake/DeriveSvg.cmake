# Writes a variant of a vector source drawn for the 320x480-point screen, by changing only the
# root element's size and view box:
#   tall:  the 320x568 screen, the picture moved down by 44 points so that it stays centred
#          (art meant to fill the screen reaches from y = -44 to 524 in the source);
#   small: the 250x250-point square around the screen's centre, for previews of centred art.
#   cmake -DINPUT=a.svg -DOUTPUT=b.svg -DVARIANT=tall|small -P DeriveSvg.cmake
set(standard_root [[width="320" height="480" viewBox="0 0 320 480"]])
if(VARIANT STREQUAL "tall")
  set(variant_root [[width="320" height="568" viewBox="0 -44 320 568"]])
elseif(VARIANT STREQUAL "small")
  set(variant_root [[width="250" height="250" viewBox="35 115 250 250"]])
else()
  message(FATAL_ERROR "DeriveSvg: VARIANT must be tall or small, not '${VARIANT}'")
endif()
file(READ "${INPUT}" text)
string(FIND "${text}" "${standard_root}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "DeriveSvg: ${INPUT} does not start with <svg ... ${standard_root}>")
endif()
string(REPLACE "${standard_root}" "${variant_root}" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
