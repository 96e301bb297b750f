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

# The real runner starts a small program of the build's own, the same on
# every system: it waits, leaves a mark and ends with a chosen code.
add_executable(update_mark_after ${CMAKE_CURRENT_SOURCE_DIR}/update/mark_after.cpp)
target_compile_definitions(update_test_start_program PRIVATE SW_MARK_AFTER="$<TARGET_FILE:update_mark_after>")
add_dependencies(update_test_start_program update_mark_after)
