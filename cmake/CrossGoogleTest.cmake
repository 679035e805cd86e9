# GoogleTest for a cross build: compiled from Debian's source (googletest package) by the build
# itself, since the host's libraries cannot link into Windows programs. The targets get the
# names find_package(GTest) gives.
set(KEL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source folder")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${KEL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest) # older GoogleTest sources do not name them so themselves
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
