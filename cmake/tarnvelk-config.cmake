include("${CMAKE_CURRENT_LIST_DIR}/tarnvelk-targets.cmake")
