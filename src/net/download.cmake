# The ranged download and its progress line.
target_sources(brindlecast_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/download.cpp
  ${CMAKE_CURRENT_LIST_DIR}/download_progress.cpp
)
