# The Greek form dictionary is generated from the word forms of the Ancient
# Greek Dependency Treebank (third_party/agldt) merged with the hand-written
# data/ancientgreek/forms.kds, which is then the generator's input and not
# compiled itself. The dictionaries' keywords name the lemmas where the
# treebank spells them otherwise.
set(KODRA_GREEK_FORMS ${KODRA_GENERATED_DIR}/ancientgreek/forms.kds)
set(KODRA_GREEK_FORMS_TREEBANK ${CMAKE_SOURCE_DIR}/third_party/agldt/greek-forms.tsv)
set(KODRA_GREEK_FORMS_HANDWRITTEN ${CMAKE_SOURCE_DIR}/data/ancientgreek/forms.kds)
set(KODRA_GREEK_FORMS_DICTIONARIES
  ${CMAKE_SOURCE_DIR}/data/ancientgreek/main.kds
  ${CMAKE_SOURCE_DIR}/data/ancientgreek/ntglossary.kds)
add_custom_command(OUTPUT ${KODRA_GREEK_FORMS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/gen_greek_forms.py
          --treebank ${KODRA_GREEK_FORMS_TREEBANK}
          --handwritten ${KODRA_GREEK_FORMS_HANDWRITTEN}
          --dictionaries ${KODRA_GREEK_FORMS_DICTIONARIES}
          -o ${KODRA_GREEK_FORMS}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/gen_greek_forms.py
          ${CMAKE_SOURCE_DIR}/scripts/kds_writer.py
          ${CMAKE_SOURCE_DIR}/scripts/gen_greek_tables.py
          ${KODRA_GREEK_FORMS_TREEBANK}
          ${KODRA_GREEK_FORMS_HANDWRITTEN}
          ${KODRA_GREEK_FORMS_DICTIONARIES}
  COMMENT "Generating ancientgreek/forms.kds from the treebank's word forms"
  VERBATIM)
kodra_generated_dictionary(ancientgreek forms ${KODRA_GREEK_FORMS})
