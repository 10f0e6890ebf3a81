# The web request routine, its request object over libcurl, and the header,
# cookie and Base64 helpers it uses.
target_sources(brindlecast_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cookies.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curl_request_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/header_block.cpp
  ${CMAKE_CURRENT_LIST_DIR}/web_request.cpp
)
