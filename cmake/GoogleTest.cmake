# GoogleTest: Debian ships its sources in /usr/src/googletest, which also serves the
# cross build; elsewhere (a native Windows build with vcpkg, say) an installed package.
set(VARNOK_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree to build with the project")

if(CMAKE_CROSSCOMPILING AND EXISTS "${VARNOK_GOOGLETEST_SOURCE}/CMakeLists.txt")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory("${VARNOK_GOOGLETEST_SOURCE}" googletest EXCLUDE_FROM_ALL SYSTEM)  # defines GTest::gtest(_main)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
