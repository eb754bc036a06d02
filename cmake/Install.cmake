# `cmake --install` lays out an installed copy: the programs in bin/, the
# shipped files of the program folder in share/kodra/, the desktop entry,
# AppStream metadata and icons where desktops look for them. An installed
# copy writes nothing there: its users' files go to their own folders.
# `cpack -G DEB` packs the same layout.
include(GNUInstallDirs)
set(KODRA_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/kodra)
set(KODRA_APP_ID org.prask.Kodra)

install(TARGETS kodra-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(KODRA_GUI)
  install(TARGETS kodra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${KODRA_BIN_DIR}/KodraSp.ttf DESTINATION ${KODRA_DATA_DESTINATION})
  install(FILES desktop/${KODRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES desktop/${KODRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES desktop/${KODRA_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 64 128 256)
    install(FILES desktop/icons/${size}/${KODRA_APP_ID}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endif()
foreach(language_dir ${KODRA_LANGUAGE_DIRS})
  if(IS_DIRECTORY ${language_dir})
    get_filename_component(language ${language_dir} NAME)
    install(DIRECTORY ${KODRA_BIN_DIR}/${language} DESTINATION ${KODRA_DATA_DESTINATION}
            FILES_MATCHING PATTERN "*.kdb" PATTERN "*.tbl" PATTERN "*.fnt" PATTERN "dictionaries.cfg")
  endif()
endforeach()
install(DIRECTORY ${KODRA_BIN_DIR}/help DESTINATION ${KODRA_DATA_DESTINATION})
install(FILES ${KODRA_LANGUAGE_FILES} DESTINATION ${KODRA_DATA_DESTINATION})
set(KODRA_DOC_DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kodra)
install(FILES LICENSE README.md desktop/copyright DESTINATION ${KODRA_DOC_DESTINATION})

set(CPACK_PACKAGE_NAME kodra)
set(CPACK_PACKAGE_VENDOR "Prask")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Ancient Greek and Latin dictionaries with Russian articles")
set(CPACK_PACKAGE_DESCRIPTION "Kodra is a desktop dictionary of Ancient Greek and of Latin with Russian articles.\n\
Readers type a word (Greek through an input method), paste it or catch it from\n\
any program with a hot key; the keyword list jumps to the nearest keyword and\n\
the article shows as styled text. Authors write dictionaries in a tagged source\n\
format, verify them and compile them with kodra-cli.")
set(CPACK_PACKAGE_CONTACT "Kodra developers <${KODRA_CONTACT}>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_LICENSE GPL-3.0-or-later)
# The form dictionaries are millions of articles in a few kinds of text:
# xz packs them to a fraction of gzip's size.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The libraries it links, found by dpkg-shlibdeps, and the platform plugins
# that Qt loads at run time and no scan can see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-gfs-neohellenic | fonts-noto-core | fonts-dejavu-core, qt6-translations-l10n, qt6-wayland")
include(CPack)
