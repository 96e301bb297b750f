# The update tests use the stand-in updater and the gateway simulator built
# under tools/.
target_link_libraries(update_test_standin_parameters PRIVATE sw40610_ethernet_update_core)

target_link_libraries(update_test_end_to_end PRIVATE sw40610_update_protocol)
target_compile_definitions(update_test_end_to_end PRIVATE
  SW_ETHERNET_UPDATE="$<TARGET_FILE:Ethernet_Update>"
  SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
add_dependencies(update_test_end_to_end Ethernet_Update gateway_simulator)
# The parameter file fixes the device port, so runs on it never overlap.
set_tests_properties(update_test_end_to_end PROPERTIES RESOURCE_LOCK udp_port_2008)

# The unprivileged ICMP socket, in a private network namespace where this
# test may allow it; skipped where no such namespace can be made.
find_program(SW_UNSHARE unshare)
if(SW_UNSHARE)
  add_test(NAME update_test_echo_client_datagram
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/update/echo_datagram.sh $<TARGET_FILE:update_test_echo_client>)
  set_tests_properties(update_test_echo_client_datagram PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
