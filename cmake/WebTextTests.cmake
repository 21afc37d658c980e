# The text unit tests built for the browser's C library and run under node: the code
# page 932 table and the conversions the web player shares with the desktop, checked
# by the same sources the desktop build runs. GoogleTest comes from Debian's own
# source package, compiled here with emscripten.
set(TAVELLE_WEB_GTEST_SOURCE "/usr/src/googletest/googletest" CACHE PATH
    "GoogleTest's sources (Debian's googletest package)")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${TAVELLE_WEB_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB WEB_TEXT_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/text/*.cpp)
add_executable(web_text_tests EXCLUDE_FROM_ALL ${WEB_TEXT_TEST_SOURCES})
target_include_directories(web_text_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/unit)
target_link_libraries(web_text_tests PRIVATE platform_text gtest_main)
set_target_properties(web_text_tests PROPERTIES SUFFIX ".js")
target_link_options(web_text_tests PRIVATE -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
                    -sEXIT_RUNTIME=1)

# The Cp932Table tests hold the table against the C library's CP932 converter; musl's
# iconv has none (nor a SHIFT_JIS with the extension rows), so in the browser build they
# have nothing to compare with and are left to the desktop build.
enable_testing()
add_test(NAME web_text_tests COMMAND web_text_tests --gtest_filter=-Cp932Table.*)
set_tests_properties(web_text_tests PROPERTIES ENVIRONMENT "NODE_OPTIONS=--no-experimental-fetch")
