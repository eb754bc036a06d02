# Lays out the program folder: each data/<language>/ folder is compiled into
# <bin>/<language>/ with kodra-cli; its tables and dictionaries.cfg are copied;
# help/ is copied to <bin>/help/; the Qt program's special-character font is
# built into <bin>/.
file(GLOB KODRA_LANGUAGE_DIRS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*)
set(KODRA_BUNDLED_OUTPUTS "")
# Compiles a source dictionary into <bin>/<language>/<name>.kdb with kodra-cli.
macro(kodra_compiled_dictionary language name source comment)
  add_custom_command(OUTPUT ${KODRA_BIN_DIR}/${language}/${name}.kdb
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KODRA_BIN_DIR}/${language}
    COMMAND $<TARGET_FILE:kodra-cli> compile ${source} -o ${KODRA_BIN_DIR}/${language}/${name}.kdb
    DEPENDS ${source} kodra-cli
    COMMENT "${comment}"
    VERBATIM)
  list(APPEND KODRA_BUNDLED_OUTPUTS ${KODRA_BIN_DIR}/${language}/${name}.kdb)
endmacro()
# A dictionary made by a generator program at build time: its source is
# written into the build folder and compiled like the others. A source of the
# same name in data/<language>/ is then the generator's input, not compiled.
set(KODRA_GENERATED_DICTIONARIES "")
macro(kodra_generated_dictionary language name generated_source)
  kodra_compiled_dictionary(${language} ${name} ${generated_source} "Compiling the generated ${language}/${name}.kds")
  list(APPEND KODRA_GENERATED_DICTIONARIES ${language}/${name})
endmacro()
set(KODRA_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_LIST_DIR}/LatinForms.cmake OPTIONAL)
include(${CMAKE_CURRENT_LIST_DIR}/GreekForms.cmake OPTIONAL)
foreach(language_dir ${KODRA_LANGUAGE_DIRS})
  if(NOT IS_DIRECTORY ${language_dir})
    continue()
  endif()
  get_filename_component(language ${language_dir} NAME)
  set(out_dir ${KODRA_BIN_DIR}/${language})
  file(GLOB sources CONFIGURE_DEPENDS ${language_dir}/*.kds)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    if("${language}/${name}" IN_LIST KODRA_GENERATED_DICTIONARIES)
      continue()
    endif()
    kodra_compiled_dictionary(${language} ${name} ${source} "Compiling ${language}/${name}.kds")
  endforeach()
  file(GLOB extras CONFIGURE_DEPENDS ${language_dir}/*.tbl ${language_dir}/*.fnt ${language_dir}/dictionaries.cfg)
  foreach(extra ${extras})
    get_filename_component(name ${extra} NAME)
    add_custom_command(OUTPUT ${out_dir}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${extra} ${out_dir}/${name}
      DEPENDS ${extra}
      VERBATIM)
    list(APPEND KODRA_BUNDLED_OUTPUTS ${out_dir}/${name})
  endforeach()
endforeach()
# The help pages and pop-up texts are copied as they lie in help/ to <bin>/help/.
file(GLOB_RECURSE KODRA_HELP_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/help ${CMAKE_SOURCE_DIR}/help/*)
foreach(help_file ${KODRA_HELP_FILES})
  get_filename_component(dir ${KODRA_BIN_DIR}/help/${help_file} DIRECTORY)
  add_custom_command(OUTPUT ${KODRA_BIN_DIR}/help/${help_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/help/${help_file} ${KODRA_BIN_DIR}/help/${help_file}
    DEPENDS ${CMAKE_SOURCE_DIR}/help/${help_file}
    VERBATIM)
  list(APPEND KODRA_BUNDLED_OUTPUTS ${KODRA_BIN_DIR}/help/${help_file})
endforeach()
# The interface languages (locale/*.lng) lie in the program folder itself.
file(GLOB KODRA_LANGUAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/locale/*.lng)
foreach(language_file ${KODRA_LANGUAGE_FILES})
  get_filename_component(name ${language_file} NAME)
  add_custom_command(OUTPUT ${KODRA_BIN_DIR}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${language_file} ${KODRA_BIN_DIR}/${name}
    DEPENDS ${language_file}
    VERBATIM)
  list(APPEND KODRA_BUNDLED_OUTPUTS ${KODRA_BIN_DIR}/${name})
endforeach()
if(KODRA_GUI)
  include(${CMAKE_CURRENT_LIST_DIR}/SpecialFont.cmake)
endif()
add_custom_target(bundled_data ALL DEPENDS ${KODRA_BUNDLED_OUTPUTS})
