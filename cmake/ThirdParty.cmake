# pugixml, zlib/minizip and GoogleTest.
# native: Debian's -dev packages. windows: zlib from libz-mingw-w64-dev,
# pugixml and minizip compiled from Debian's source packages, which
# scripts/setup unpacks into build/third_party.
find_package(ZLIB REQUIRED)

if(ORVELLO_WINDOWS)
  set(paths_file "${CMAKE_SOURCE_DIR}/build/third_party/paths.cmake")
  if(NOT EXISTS "${paths_file}")
    message(FATAL_ERROR "Third-party sources missing: run scripts/setup first")
  endif()
  include("${paths_file}")

  add_library(orvello_pugixml STATIC "${ORVELLO_PUGIXML_SRC}/pugixml.cpp")
  target_include_directories(orvello_pugixml SYSTEM PUBLIC "${ORVELLO_PUGIXML_SRC}")

  add_library(orvello_minizip STATIC
    "${ORVELLO_MINIZIP_SRC}/unzip.c" "${ORVELLO_MINIZIP_SRC}/ioapi.c")
  target_include_directories(orvello_minizip SYSTEM PUBLIC "${ORVELLO_MINIZIP_SRC}")
  target_compile_definitions(orvello_minizip PUBLIC NOCRYPT NOUNCRYPT)
  target_compile_options(orvello_minizip PRIVATE -w)
  target_link_libraries(orvello_minizip PUBLIC ZLIB::ZLIB)
  set(ORVELLO_MINIZIP_INCLUDE_PREFIX "")

  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  add_library(orvello_gtest INTERFACE)
  target_link_libraries(orvello_gtest INTERFACE gtest gmock)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  find_package(pugixml REQUIRED)
  add_library(orvello_pugixml INTERFACE)
  target_link_libraries(orvello_pugixml INTERFACE pugixml::pugixml)
  add_library(orvello_minizip INTERFACE)
  target_link_libraries(orvello_minizip INTERFACE PkgConfig::MINIZIP ZLIB::ZLIB)

  find_package(GTest REQUIRED)
  add_library(orvello_gtest INTERFACE)
  target_link_libraries(orvello_gtest INTERFACE GTest::gtest GTest::gmock)
  find_package(benchmark REQUIRED)
endif()
