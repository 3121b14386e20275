# tallybook_library(NAME <target> [QT] [DEPS <libs...>] [TEST_DEPS <libs...>])
#
# Builds every .cc of the calling folder, except *_test.cc and *_bench.cc,
# into one static library, and every *_test.cc into one test program
# <target>_tests registered with CTest test by test. QT turns on moc for
# folders that hold Qt windows or the Qt platform.
# The Qt headers the window folders share, precompiled once per target.
set(tallybook_qt_pch <QApplication> <QDialog> <QHBoxLayout> <QLabel>
    <QLineEdit> <QPushButton> <QString> <QVBoxLayout> <QWidget>)

function(tallybook_library)
  cmake_parse_arguments(TL "QT" "NAME" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cc)
  file(GLOB qrc CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "_(test|bench)\\.cc$")
  list(FILTER sources EXCLUDE REGEX "/main\\.cc$")

  add_library(${TL_NAME} STATIC ${sources} ${headers} ${qrc})
  target_link_libraries(${TL_NAME} PUBLIC ${TL_DEPS})
  if(TL_QT)
    set_target_properties(${TL_NAME} PROPERTIES AUTOMOC ON AUTORCC ON)
    # Every window includes much the same Qt Widgets headers; parse them once.
    target_precompile_headers(${TL_NAME} PRIVATE ${tallybook_qt_pch})
  endif()

  if(tests)
    add_executable(${TL_NAME}_tests ${tests})
    target_link_libraries(${TL_NAME}_tests PRIVATE ${TL_NAME} ${TL_TEST_DEPS}
                          GTest::gtest GTest::gmock GTest::gtest_main)
    if(TL_QT)
      set_target_properties(${TL_NAME}_tests PROPERTIES AUTOMOC ON)
    endif()
    # The test programs drive the libraries, which keep the build type's
    # optimisation; the tests themselves build at -O1 with line tables only,
    # and share one precompiled GoogleTest header, in about half the time.
    target_compile_options(${TL_NAME}_tests PRIVATE
      $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)
    target_precompile_headers(${TL_NAME}_tests PRIVATE
      <gtest/gtest.h> <gmock/gmock.h>)
    if(TL_QT)
      target_precompile_headers(${TL_NAME}_tests PRIVATE ${tallybook_qt_pch})
    endif()
    # Tests that run a built program or read a source fixture find them here.
    target_compile_definitions(${TL_NAME}_tests PRIVATE
      TALLYBOOK_BINARY_DIR="${CMAKE_BINARY_DIR}"
      TALLYBOOK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    # One variable only: the property list would split at a semicolon.
    gtest_discover_tests(${TL_NAME}_tests
      DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
