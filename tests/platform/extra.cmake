# The test control module of the hosting-chain tests: a real module, loaded only through the class registry
# (never linked), built beside the tests and never installed.
add_library(chainctl MODULE ${CMAKE_CURRENT_LIST_DIR}/chain_module/chain_control.cpp
                            ${CMAKE_CURRENT_LIST_DIR}/chain_module/chain_contract.h)
target_link_libraries(chainctl PRIVATE slatewise::defaults slatewise::platform Qt6::Widgets)
target_include_directories(chainctl PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(chainctl PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/modules)

foreach(test platform_chain_test platform_com_host_test)
    if(TARGET ${test})
        add_dependencies(${test} chainctl regctl)
        target_include_directories(${test} PRIVATE ${PROJECT_SOURCE_DIR})
        target_compile_definitions(${test} PRIVATE SW_CHAIN_MODULE="$<TARGET_FILE:chainctl>"
                                                   SW_REGCTL="$<TARGET_FILE:regctl>")
    endif()
endforeach()
