# The Latin form dictionary is generated from the vendored Collatinus data
# (third_party/collatinus): every inflected form with its lemma, the lemmas
# named as the Latin–Russian dictionaries key them. The treebank's Latin word
# list checks it; the pairs the paradigms lack, which only the treebank gives,
# make a dictionary of their own under the treebank's licence.
set(KODRA_LATIN_FORMS ${KODRA_GENERATED_DIR}/latin/forms.kds)
set(KODRA_LATIN_TREEBANK_FORMS ${KODRA_GENERATED_DIR}/latin/treebankforms.kds)
set(KODRA_COLLATINUS_DIR ${CMAKE_SOURCE_DIR}/third_party/collatinus)
set(KODRA_COLLATINUS_FILES
  ${KODRA_COLLATINUS_DIR}/modeles.la
  ${KODRA_COLLATINUS_DIR}/lemmes.la
  ${KODRA_COLLATINUS_DIR}/lem_ext.la
  ${KODRA_COLLATINUS_DIR}/irregs.la
  ${KODRA_COLLATINUS_DIR}/contractions.la
  ${KODRA_COLLATINUS_DIR}/assimilations.la)
set(KODRA_LATIN_FORMS_DICTIONARIES
  ${CMAKE_SOURCE_DIR}/data/latin/main.kds
  ${CMAKE_SOURCE_DIR}/data/latin/poliachev.kds)
set(KODRA_LATIN_FORMS_TREEBANK ${CMAKE_SOURCE_DIR}/third_party/agldt/latin-forms.tsv)
if(NOT EXISTS ${KODRA_LATIN_FORMS_TREEBANK})
  set(KODRA_LATIN_FORMS_TREEBANK ${CMAKE_SOURCE_DIR}/../shared/corpora/raw/agldt/latin-forms.tsv)
endif()
if(EXISTS ${KODRA_LATIN_FORMS_TREEBANK})
  set(KODRA_LATIN_FORMS_TREEBANK_ARGS --treebank ${KODRA_LATIN_FORMS_TREEBANK})
else()
  set(KODRA_LATIN_FORMS_TREEBANK_ARGS --no-treebank)
  set(KODRA_LATIN_FORMS_TREEBANK "")
endif()
add_custom_command(OUTPUT ${KODRA_LATIN_FORMS} ${KODRA_LATIN_TREEBANK_FORMS}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/gen_latin_forms.py
          --data ${KODRA_COLLATINUS_DIR}
          ${KODRA_LATIN_FORMS_TREEBANK_ARGS}
          --russian ${KODRA_LATIN_FORMS_DICTIONARIES}
          -o ${KODRA_LATIN_FORMS} --treebank-output ${KODRA_LATIN_TREEBANK_FORMS}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/gen_latin_forms.py
          ${CMAKE_SOURCE_DIR}/scripts/kds_writer.py
          ${KODRA_COLLATINUS_FILES}
          ${KODRA_LATIN_FORMS_DICTIONARIES}
          ${KODRA_LATIN_FORMS_TREEBANK}
  COMMENT "Generating latin/forms.kds from the Collatinus data"
  VERBATIM)
kodra_generated_dictionary(latin forms ${KODRA_LATIN_FORMS})
kodra_generated_dictionary(latin treebankforms ${KODRA_LATIN_TREEBANK_FORMS})
