# The DCP tests meet the simulated devices: in-process over a wire without a
# network, and as programs on a veth pair in the test's own network namespace.
target_link_libraries(dcp_test_dcp_client PRIVATE sw40610_dcp_device)
