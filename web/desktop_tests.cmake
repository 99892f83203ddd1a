# Desktop tests of the browser build's layer (label "web"), for the Linux
# build with its tests: include() this after tests/ has been added.
#   web_glyph_tests     the generated glyph table against desktop GLUT
#   web_layer_tests     the layer's fixed-function pipeline against OpenGL,
#                       and its keys against GLUT on X
#   web_page_tests      the built site (OSTRIVANE_WEB_SITE, from tools/web.sh
#                       --build) in headless Chromium against the desktop
#                       window; skipped while there is no site
# All need an X display, as the rendering tests do.

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  message(STATUS "Web layer tests skipped: they compare with GLUT on X11 (Linux only)")
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/glyph_table.cmake)
# GoogleTest's imported targets belong to the folder that found them.
find_package(GTest REQUIRED)
include(GoogleTest)
ostrivane_glyph_table(ostrivane_glyph_table_source ostrivane_glyph_table_missing)

set(ostrivane_web_dir ${CMAKE_CURRENT_LIST_DIR})

if(NOT ostrivane_glyph_table_source)
  message(STATUS "Web layer tests skipped: ${ostrivane_glyph_table_missing}")
else()
  add_executable(web_glyph_tests
    ${ostrivane_web_dir}/glyph_test.cpp
    ${ostrivane_glyph_table_source})
  target_include_directories(web_glyph_tests PRIVATE ${ostrivane_web_dir} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(web_glyph_tests PRIVATE ostrivane_test_support GTest::gtest_main)
  gtest_discover_tests(web_glyph_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "web")

  # The drawing units built a second time, onto the pipeline.
  add_library(ostrivane_units_on_pipeline OBJECT
    ${PROJECT_SOURCE_DIR}/src/app.cpp
    ${PROJECT_SOURCE_DIR}/src/matrix_panel.cpp
    ${PROJECT_SOURCE_DIR}/src/scene.cpp)
  target_include_directories(ostrivane_units_on_pipeline PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(ostrivane_units_on_pipeline PRIVATE OSTRIVANE_NO_MAIN)
  target_compile_options(ostrivane_units_on_pipeline PRIVATE
    -include ${ostrivane_web_dir}/pipeline_redirect.h)
  target_link_libraries(ostrivane_units_on_pipeline PRIVATE GLUT::GLUT OpenGL::GL)

  find_package(X11)
  if(NOT X11_FOUND OR NOT X11_Xtst_FOUND)
    message(FATAL_ERROR
      "libX11 or libXtst was not found. On Debian or Ubuntu install them with: sudo apt-get install libx11-dev libxtst-dev")
  endif()
  add_executable(web_layer_tests
    ${ostrivane_web_dir}/pipeline_test.cpp
    ${ostrivane_web_dir}/pipeline_shim.cpp
    ${ostrivane_web_dir}/key_test.cpp
    ${ostrivane_web_dir}/fixed_function.cpp
    ${ostrivane_web_dir}/bitmap_font.cpp
    ${ostrivane_web_dir}/key_map.cpp
    $<TARGET_OBJECTS:ostrivane_units_on_pipeline>
    ${ostrivane_glyph_table_source})
  target_include_directories(web_layer_tests PRIVATE ${ostrivane_web_dir} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(web_layer_tests PRIVATE ostrivane_test_support GTest::gtest_main
    X11::X11 X11::Xtst OpenGL::GLX)
  # The key tests move the X input focus: nothing else may run meanwhile.
  gtest_discover_tests(web_layer_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "web" RUN_SERIAL TRUE)

  set(OSTRIVANE_WEB_SITE "${PROJECT_SOURCE_DIR}/build-web/site" CACHE PATH
    "The built site that web_page_tests loads (bash tools/web.sh --build makes it)")
  find_program(OSTRIVANE_CHROMIUM NAMES chromium chromium-browser)
  find_package(PNG)
  if(NOT PNG_FOUND)
    message(FATAL_ERROR
      "libpng was not found. On Debian or Ubuntu install it with: sudo apt-get install libpng-dev")
  endif()
  if(NOT OSTRIVANE_CHROMIUM)
    set(OSTRIVANE_CHROMIUM "")
  endif()
  add_executable(web_page_tests ${ostrivane_web_dir}/page_test.cpp)
  target_include_directories(web_page_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(web_page_tests PRIVATE
    OSTRIVANE_WEB_SITE="${OSTRIVANE_WEB_SITE}"
    OSTRIVANE_CHROMIUM="${OSTRIVANE_CHROMIUM}")
  target_link_libraries(web_page_tests PRIVATE ostrivane_test_support GTest::gtest_main PNG::PNG)
  gtest_discover_tests(web_page_tests DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "web")
endif()
