# Runs the program over the bundled sample folder in a fresh run folder:
# the program is copied beside a copy of txt_in and started there with the
# answers a user would type (continue, continue, continue, a destination
# address, and a key at the results screen).
#   cmake -DPROGRAM=... -DSAMPLES=... -DRUN_DIR=... -P run_demo.cmake
foreach(var PROGRAM SAMPLES RUN_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_demo.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${RUN_DIR}")
file(MAKE_DIRECTORY "${RUN_DIR}")
file(COPY "${SAMPLES}" DESTINATION "${RUN_DIR}")
file(COPY "${PROGRAM}" DESTINATION "${RUN_DIR}")
get_filename_component(program_name "${PROGRAM}" NAME)

set(answers "${RUN_DIR}/../demo_answers.txt")
file(WRITE "${answers}" "1\n1\n1\nwww.example.org\n\n")
execute_process(
  COMMAND "${RUN_DIR}/${program_name}"
  WORKING_DIRECTORY "${RUN_DIR}"
  INPUT_FILE "${answers}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program ended with status ${status}")
endif()
if(NOT EXISTS "${RUN_DIR}/htm_out/index.htm")
  message(FATAL_ERROR "the run left no htm_out/index.htm")
endif()
file(GLOB pages "${RUN_DIR}/htm_out/*.htm")
list(LENGTH pages page_count)
message("")
message("The document base is ready: ${page_count} pages and index pages in")
message("  ${RUN_DIR}/htm_out")
message("Open first: ${RUN_DIR}/htm_out/index.htm (the main index of every word),")
message("then double-click any word on a page to reach its word index entry.")
