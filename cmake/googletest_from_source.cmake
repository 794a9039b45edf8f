# GoogleTest for a cross build: the host's libgtest cannot link into a
# Windows binary, so the tests are built against GoogleTest compiled from
# Debian's source package (googletest, in /usr/src/googletest). Gives the
# same GTest::gtest and GTest::gtest_main targets as find_package(GTest).
set(INDEXER_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH
    "GoogleTest sources built into a cross build")
if(NOT EXISTS "${INDEXER_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${INDEXER_GOOGLETEST_SOURCE} "
                      "(apt-get install googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory("${INDEXER_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest"
    EXCLUDE_FROM_ALL SYSTEM)
