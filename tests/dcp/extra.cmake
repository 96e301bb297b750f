# The DCP tests meet the simulated devices: in-process over a wire without a
# network, and as programs on a veth pair in the test's own network namespace.
target_link_libraries(dcp_test_dcp_client PRIVATE sw40610_dcp_device)
# Neither is built for Windows (no namespaces under Wine, no Npcap).
if(NOT WIN32)
add_dependencies(dcp_test_dcp_network sw40610 gateway_simulator dcp_responder)
target_compile_definitions(dcp_test_dcp_network PRIVATE SW_PROGRAM="$<TARGET_FILE:sw40610>"
                           SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>"
                           SW_DCP_RESPONDER="$<TARGET_FILE:dcp_responder>")
# Skipped (77) where no network namespace with a veth pair can be made.
set_tests_properties(dcp_test_dcp_network PROPERTIES SKIP_RETURN_CODE 77)
add_dependencies(dcp_test_find_gateways_window gateway_simulator dcp_responder)
target_compile_definitions(dcp_test_find_gateways_window PRIVATE SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>"
                           SW_DCP_RESPONDER="$<TARGET_FILE:dcp_responder>")
set_tests_properties(dcp_test_find_gateways_window PROPERTIES SKIP_RETURN_CODE 77)
endif()
