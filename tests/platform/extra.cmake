# The full-disk table includes the gateway simulator's stored images.
target_link_libraries(platform_test_file_write PRIVATE sw40610_update_protocol)
target_compile_definitions(platform_test_file_write PRIVATE SW_GATEWAY_SIMULATOR="$<TARGET_FILE:gateway_simulator>")
add_dependencies(platform_test_file_write gateway_simulator)

if(NOT WIN32)

# Once more where the tests may mount: a small tmpfs that really runs full.
find_program(SW_UNSHARE unshare)
if(SW_UNSHARE)
  add_test(NAME platform_test_file_write_tmpfs
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/platform/full_disk_tmpfs.sh $<TARGET_FILE:platform_test_file_write>)
  set_tests_properties(platform_test_file_write_tmpfs PROPERTIES
    SKIP_RETURN_CODE 77 TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
endif()

endif()

# The table of not well-formed files includes the stand-in updater's reader.
target_link_libraries(platform_test_not_well_formed PRIVATE sw40610_ethernet_update_core)

if(NOT WIN32)

# The unprivileged ICMP socket, in a private network namespace where this
# test may allow it; skipped where no such namespace can be made.
if(SW_UNSHARE)
  add_test(NAME platform_test_echo_client_datagram
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/platform/echo_datagram.sh $<TARGET_FILE:platform_test_echo_client>)
  set_tests_properties(platform_test_echo_client_datagram PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
endif()

# What Windows brings: its paths through the reader and writer, the window
# program and its console twin, modules from the program's folder only.
if(WIN32)
  foreach(Name test_windows_paths test_windows_program)
    add_executable(platform_${Name} ${CMAKE_CURRENT_SOURCE_DIR}/platform/windows/${Name}.cpp)
    target_link_libraries(platform_${Name} PRIVATE sw40610_test_support_core)
    target_include_directories(platform_${Name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    add_test(NAME platform_${Name} COMMAND platform_${Name} -o -,tap)
    set_tests_properties(platform_${Name} PROPERTIES LABELS core TIMEOUT 300 SKIP_RETURN_CODE 77
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
  endforeach()
  target_compile_definitions(platform_test_windows_program PRIVATE SW_PROGRAM_DIR="$<TARGET_FILE_DIR:sw40610>")
  add_dependencies(platform_test_windows_program sw40610 sw40610_console sw40610_window sw40610_crypto)
endif()
