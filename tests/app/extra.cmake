# The start tests run the real executable with its window and crypto modules.
# (Not built for Windows: they read the Linux loader's trace.)
if(NOT WIN32)
  add_dependencies(app_test_start_libraries sw40610 sw40610_window sw40610_crypto)
endif()

# Modules of another build, planted beside the executable by the start
# tests: one with another build token, one with none.
if(TARGET app_test_start_libraries)
  foreach(Variant other_build no_token)
    set(Target app_stale_module_${Variant})
    add_library(${Target} MODULE ${CMAKE_CURRENT_LIST_DIR}/stale_module.cpp)
    target_include_directories(${Target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${Target} PRIVATE Qt6::Core)
    set_target_properties(${Target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    if(Variant STREQUAL other_build)
      target_compile_definitions(${Target} PRIVATE SW_STALE_TOKEN="0.9-000000000000000000000000")
    endif()
    add_dependencies(app_test_start_libraries ${Target})
    target_compile_definitions(app_test_start_libraries PRIVATE
      SW_STALE_MODULE_${Variant}="$<TARGET_FILE:${Target}>")
  endforeach()
endif()
