# Tests of the web request, its request object and the header, cookie and
# Base64 helpers.
add_executable(web_request_tests
  ${CMAKE_CURRENT_LIST_DIR}/base64_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cookies_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/header_block_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_request_calls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_request_wire_test.cpp
)
target_link_libraries(web_request_tests PRIVATE
  brindlecast_core brindlecast_settings brindlecast_test_support brindlecast_raw_http_server
  GTest::gmock GTest::gtest_main)
gtest_discover_tests(web_request_tests DISCOVERY_TIMEOUT 30)
