# Helpers that keep every folder's CMakeLists.txt to a few lines.

# quenlo_library(NAME [QT] DEPENDS lib...): one static library from every
# source file of the calling folder.
function(quenlo_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# quenlo_test_folder(NAME [QT_MAIN] DEPENDS lib...): one GoogleTest executable
# from the calling tests/ folder; every test case becomes one ctest test.
# QT_MAIN runs the tests inside a QApplication (widgets, clipboard, fonts).
function(quenlo_test_folder name)
  cmake_parse_arguments(ARG "QT_MAIN" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(ARG_QT_MAIN)
    add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} Qt6::Widgets Qt6::Test GTest::gtest)
  else()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
      QUENLO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
      QUENLO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts/truetype/liberation"
      TIMEOUT 600)
endfunction()
