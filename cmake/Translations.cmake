# Message texts: tr() with the English text as the source; one .ts file per
# language in resources/translations, compiled to .qm and built into kov as
# :/i18n/kov_<language>.qm, where the start-up picks the user's language.
#
# After adding or changing texts, refresh the .ts files from the sources:
#     cmake --build build/test --target update_translations
# then translate the new entries (marked unfinished) with Qt Linguist
# (`linguist resources/translations/kov_de.ts`) or by hand. The test
# tst_translations fails while an entry is unfinished or a text is missing.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

set(KOV_TS_FILES ${CMAKE_SOURCE_DIR}/resources/translations/kov_de.ts)
file(GLOB_RECURSE KOV_TRANSLATED_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/core/*.cpp ${CMAKE_SOURCE_DIR}/src/core/*.h
     ${CMAKE_SOURCE_DIR}/src/ui/*.cpp ${CMAKE_SOURCE_DIR}/src/ui/*.h ${CMAKE_SOURCE_DIR}/src/ui/*.ui)
# Options shared with the test: no line numbers (so branches merge without
# conflicts) and no texts the sources no longer have.
set(KOV_LUPDATE_OPTIONS -no-obsolete -locations none)
qt_add_lupdate(kov TS_FILES ${KOV_TS_FILES} SOURCES ${KOV_TRANSLATED_SOURCES} OPTIONS ${KOV_LUPDATE_OPTIONS})
qt_add_lrelease(kov TS_FILES ${KOV_TS_FILES} QM_FILES_OUTPUT_VARIABLE KOV_QM_FILES)
qt_add_resources(kov kov_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${KOV_QM_FILES})
