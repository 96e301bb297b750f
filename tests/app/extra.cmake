# The start tests run the real executable and its window library.
add_dependencies(app_test_start_libraries sw40610 sw40610_window)
