# Runs the program over a benchmark corpus with a fixed clock and compares
# the hash of its htm_out with the one kept in bench/hashes.txt under NAME.
#   cmake -DPROGRAM=... -DMAKE_CORPUS=... -DWORK=... -DHASHES=... -DNAME=s
#         -DFILES=50 -DWORDS=100000 [-DSTART=1] [-DMARKUP=ON] [-DLONG=N]
#         -P check_output.cmake
include("${CMAKE_CURRENT_LIST_DIR}/hash_tree.cmake")

if(NOT DEFINED START)
  set(START 1)
endif()
set(style "")
if(MARKUP)
  set(style markup)
endif()
if(LONG)
  list(APPEND style "long=${LONG}")
endif()
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${MAKE_CORPUS}" ${FILES} ${WORDS} "${WORK}/txt_in" ${START} ${style}
                RESULT_VARIABLE made OUTPUT_QUIET)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "make_corpus failed: ${made}")
endif()
file(COPY "${PROGRAM}" DESTINATION "${WORK}")
get_filename_component(name "${PROGRAM}" NAME)
file(WRITE "${WORK}/../corpus_${NAME}_answers" "1\n1\n1\nwww.example.org\n\n")
set(ENV{SOURCE_DATE_EPOCH} 1700000000)
execute_process(COMMAND "${WORK}/${name}" WORKING_DIRECTORY "${WORK}"
                INPUT_FILE "${WORK}/../corpus_${NAME}_answers"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program ended with status ${status}")
endif()
hash_tree("${WORK}/htm_out" hash)
file(STRINGS "${HASHES}" lines REGEX "^${NAME} ")
string(REGEX REPLACE "^${NAME} +" "" expected "${lines}")
if(NOT hash STREQUAL expected)
  message(FATAL_ERROR "htm_out of corpus ${NAME} changed: hash ${hash}, kept ${expected}")
endif()
message("htm_out of corpus ${NAME} unchanged: ${hash}")
file(REMOVE_RECURSE "${WORK}")
