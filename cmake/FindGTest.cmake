# A cross build makes GoogleTest from source (see VelmoraTesting.cmake); there
# find_package(GTest) finds those targets instead of searching the host system.
if(CMAKE_CROSSCOMPILING AND TARGET GTest::gtest_main)
  set(GTest_FOUND TRUE)
  set(GTEST_FOUND TRUE)
  set(GTEST_LIBRARIES GTest::gtest)
  set(GTEST_MAIN_LIBRARIES GTest::gtest_main)
  set(GTEST_BOTH_LIBRARIES GTest::gtest GTest::gtest_main)
  return()
endif()
include("${CMAKE_ROOT}/Modules/FindGTest.cmake")
