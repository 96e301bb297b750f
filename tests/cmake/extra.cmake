# The include check is run as the build runs it, on files the test plants.
# (Not built for Windows, where the build machine's CMake cannot be run.)
if(TARGET cmake_test_core_includes)
  target_compile_definitions(cmake_test_core_includes PRIVATE
    SW_CMAKE_COMMAND="${CMAKE_COMMAND}"
    SW_CORE_INCLUDES_SCRIPT="${PROJECT_SOURCE_DIR}/cmake/Core_Includes.cmake"
    SW_REFUSED_NAMES_FILE="${SW_REFUSED_NAMES_FILE}")
endif()
