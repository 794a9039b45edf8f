# Checks that every C++ source of the project (src, tests, bench) is as
# clang-format leaves it, in the house format of .clang-format; names the
# files that are not.
#   cmake -DCLANG_FORMAT=... -DSOURCE_DIR=... -P check_format.cmake
foreach(var CLANG_FORMAT SOURCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_format.cmake needs -D${var}=...")
  endif()
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/src/*.cc" "${SOURCE_DIR}/src/*.h"
     "${SOURCE_DIR}/tests/*.cc" "${SOURCE_DIR}/tests/*.h"
     "${SOURCE_DIR}/bench/*.cc")
list(SORT sources)
set(unformatted "")
foreach(source IN LISTS sources)
  execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror "${source}"
                  WORKING_DIRECTORY "${SOURCE_DIR}"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    list(APPEND unformatted "${source}")
  endif()
endforeach()
list(LENGTH sources count)
if(unformatted)
  list(JOIN unformatted "\n  " shown)
  message(FATAL_ERROR "not in the house format (run clang-format -i on them):\n  ${shown}")
endif()
message("all ${count} sources in the house format")
