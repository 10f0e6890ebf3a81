# The ranged download against loopback servers, and its progress line.
add_executable(download_tests
  ${CMAKE_CURRENT_LIST_DIR}/download_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/download_progress_test.cpp
)
target_link_libraries(download_tests PRIVATE
  brindlecast_test_support brindlecast_raw_http_server brindlecast_settings GTest::gtest_main)
gtest_discover_tests(download_tests DISCOVERY_TIMEOUT 30)
