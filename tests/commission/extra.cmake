# The commissioning runs meet the simulated gateways on a veth pair in the
# test's own network namespace, through the program and in process.
# Neither is built for Windows (no namespaces under Wine, no Npcap).
if(TARGET commission_test_commission_network)
  add_dependencies(commission_test_commission_network sw40610 gateway_simulator)
  target_compile_definitions(commission_test_commission_network PRIVATE SW_PROGRAM="$<TARGET_FILE:sw40610>"
                             SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
  set_tests_properties(commission_test_commission_network PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
if(TARGET commission_test_commission_window)
  add_dependencies(commission_test_commission_window gateway_simulator)
  target_compile_definitions(commission_test_commission_window PRIVATE SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
  set_tests_properties(commission_test_commission_window PROPERTIES SKIP_RETURN_CODE 77)
endif()
