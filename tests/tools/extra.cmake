# The tools' tests: the gateway simulator run as a program, the updater's
# transfer driven in-process.
target_link_libraries(tools_test_update_transfer PRIVATE sw40610_ethernet_update_core)

target_link_libraries(tools_test_gateway_simulator PRIVATE sw40610_update_protocol)
target_compile_definitions(tools_test_gateway_simulator PRIVATE SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
add_dependencies(tools_test_gateway_simulator gateway_simulator)
