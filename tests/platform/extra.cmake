# The full-disk table includes the gateway simulator's stored images.
target_link_libraries(platform_test_file_write PRIVATE sw40610_update_protocol)
target_compile_definitions(platform_test_file_write PRIVATE SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
add_dependencies(platform_test_file_write gateway_simulator)
