# The start tests run the real executable with its window and crypto modules.
# (Not built for Windows: they read the Linux loader's trace.)
if(NOT WIN32)
  add_dependencies(app_test_start_libraries sw40610 sw40610_window sw40610_crypto)
endif()
