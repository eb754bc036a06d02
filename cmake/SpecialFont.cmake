# KodraSp.ttf, the font the special characters are drawn from, is drawn by
# fonts/kodrasp/kodrasp.py with fontTools into the program folder. Only the
# Qt program shows it.
set(KODRA_FONT_PYTHON /usr/bin/python3 CACHE FILEPATH "A Python with fontTools, to build KodraSp.ttf")
execute_process(COMMAND ${KODRA_FONT_PYTHON} -c "import fontTools.fontBuilder"
  RESULT_VARIABLE KODRA_FONTTOOLS_RESULT OUTPUT_QUIET ERROR_QUIET)
if(NOT KODRA_FONTTOOLS_RESULT EQUAL 0)
  message(FATAL_ERROR "KodraSp.ttf is built with fontTools, which ${KODRA_FONT_PYTHON} cannot import. "
    "Install it with scripts/deps.sh (Debian's python3-fonttools), or set KODRA_FONT_PYTHON "
    "to a Python that has it.")
endif()
set(KODRA_SPECIAL_FONT ${KODRA_BIN_DIR}/KodraSp.ttf)
add_custom_command(OUTPUT ${KODRA_SPECIAL_FONT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KODRA_BIN_DIR}
  COMMAND ${KODRA_FONT_PYTHON} ${CMAKE_SOURCE_DIR}/fonts/kodrasp/kodrasp.py ${KODRA_SPECIAL_FONT}
  DEPENDS ${CMAKE_SOURCE_DIR}/fonts/kodrasp/kodrasp.py
  COMMENT "Drawing KodraSp.ttf"
  VERBATIM)
list(APPEND KODRA_BUNDLED_OUTPUTS ${KODRA_SPECIAL_FONT})
