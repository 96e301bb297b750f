# The command-line tests start the real executable.
add_dependencies(cli_test_command_line sw40610)
add_dependencies(cli_test_review_commands sw40610)
