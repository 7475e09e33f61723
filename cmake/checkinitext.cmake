# Fails unless INI_FILE holds skin INI text as the engine reads it: UTF-16 little-endian
# starting with the byte-order mark, every line ended by a carriage return (a line feed may
# follow it, nothing else may stand alone). UTF-8 or LF-only text would load as an empty skin.
# Usage: cmake -DINI_FILE=<file> -DSTAMP=<file> -P checkinitext.cmake
file(READ "${INI_FILE}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR odd "(${digits} / 2) % 2")
if(digits LESS 8 OR odd)
  message(FATAL_ERROR "${INI_FILE}: not UTF-16 text (odd or too few bytes)")
endif()
string(SUBSTRING "${hex}" 0 4 mark)
if(NOT mark STREQUAL "fffe")
  message(FATAL_ERROR "${INI_FILE}: no UTF-16LE byte-order mark; the skin text must be UTF-16LE")
endif()
# One list item per 16-bit code unit, so that matches cannot straddle two units.
string(REGEX REPLACE "(....)" "\\1;" units "${hex}")
set(units ";${units}")
if(units MATCHES ";0000;")
  message(FATAL_ERROR "${INI_FILE}: holds NUL characters; not UTF-16 text")
endif()
# A unit of four digits is always followed by ";", so this matches whole units only.
string(REPLACE "0d00;0a00;" "0d00;" crOnly "${units}")
if(crOnly MATCHES ";0a00;")
  message(FATAL_ERROR "${INI_FILE}: a line ends with a line feed alone; every line must end with CR")
endif()
if(NOT crOnly MATCHES ";0d00;$")
  message(FATAL_ERROR "${INI_FILE}: the last line has no carriage return and would be lost")
endif()
if(NOT units MATCHES ";[0-9a-f][0-9a-f]00;")
  message(FATAL_ERROR "${INI_FILE}: no ASCII character in UTF-16LE order; wrong byte order?")
endif()
get_filename_component(stampFolder "${STAMP}" DIRECTORY)
file(MAKE_DIRECTORY "${stampFolder}")
file(TOUCH "${STAMP}")
