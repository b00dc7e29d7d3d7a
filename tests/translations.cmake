# Fails when a text of the window has no finished German translation: runs
# lupdate over the sources into a copy of each .ts file and looks for
# entries lupdate had to add or mark.
file(GLOB ts_files ${SOURCE_DIR}/resources/translations/*.ts)
if(NOT ts_files)
  message(FATAL_ERROR "no translations in ${SOURCE_DIR}/resources/translations")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(ts IN LISTS ts_files)
  get_filename_component(name ${ts} NAME)
  configure_file(${ts} ${WORK_DIR}/${name} COPYONLY)
  execute_process(COMMAND ${LUPDATE} -no-obsolete -locations none ${SOURCE_DIR}/src/core ${SOURCE_DIR}/src/ui
                          -ts ${WORK_DIR}/${name}
                  RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  file(READ ${WORK_DIR}/${name} text)
  string(REGEX MATCHALL "<source>[^<]*</source>[^<]*(<comment>[^<]*</comment>[^<]*)?<translation type=\"(unfinished|vanished|obsolete)\"" missing "${text}")
  if(missing)
    string(REPLACE ";" "\n" missing "${missing}")
    message(FATAL_ERROR "${name} lacks translations (refresh it with the update_translations target and translate):\n${missing}")
  endif()
  message(STATUS "${name}: every text translated")
endforeach()
