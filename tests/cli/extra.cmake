# The command-line tests start the real executable.
if(TARGET cli_test_command_line)
  add_dependencies(cli_test_command_line sw40610)
endif()
add_dependencies(cli_test_review_commands sw40610)
if(TARGET cli_test_configuration_refusals)
  add_dependencies(cli_test_configuration_refusals sw40610 sw40610_window)
endif()
