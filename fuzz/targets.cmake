# The fuzz targets: fuzz/targets/<name>.cpp defines LLVMFuzzerTestOneInput (and LLVMFuzzerInitialize when it
# needs set-up); fuzz/corpus/<name>/ holds its corpus. Included by fuzz/CMakeLists.txt (libFuzzer builds) and
# by tests/fuzz/CMakeLists.txt (the corpus replay of every build).
set(SLATEWISE_FUZZ_TARGETS cp932 engine_abi engine_files list_lines pattern_file property_bag registry)
set(SLATEWISE_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

set(slatewise_fuzz_libs_cp932 slatewise::text Qt6::Core)
# The replay calls the engine library as the recognition box does. A libFuzzer build links the engine's code
# into the executable instead (a sanitized shared library cannot resolve the sanitizer runtime on its own);
# the executable then sits in the runtime folder, where the engine finds its models beside itself.
if(SLATEWISE_FUZZ)
    set(slatewise_fuzz_libs_engine_abi scribeng_impl slatewise::records slatewise::contracts)
    set(slatewise_fuzz_sources_engine_abi ${PROJECT_SOURCE_DIR}/scribeng/exports.cpp)
else()
    set(slatewise_fuzz_libs_engine_abi scribeng slatewise::records slatewise::contracts)
endif()
set(slatewise_fuzz_libs_engine_files scribeng_impl)
set(slatewise_fuzz_libs_list_lines veiladd_impl penmate_impl slatewise::platform Qt6::Widgets)
set(slatewise_fuzz_libs_pattern_file penmate_impl)
set(slatewise_fuzz_libs_property_bag slatewise::platform)
set(slatewise_fuzz_libs_registry slatewise::platform)

# slatewise_add_fuzz_executable(target name [sources...]): fuzz target `name` as executable `target`.
function(slatewise_add_fuzz_executable target name)
    add_executable(${target} ${SLATEWISE_FUZZ_DIR}/targets/${name}.cpp ${SLATEWISE_FUZZ_DIR}/fuzz_input.h
                             ${slatewise_fuzz_sources_${name}} ${ARGN})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE slatewise::defaults ${slatewise_fuzz_libs_${name}})
    set_target_properties(${target} PROPERTIES AUTOMOC OFF)
    if(name STREQUAL "engine_abi")
        # The engine finds its models beside itself; the recognitions need all of them.
        foreach(models scribeng_models slatewise-supplement-model slatewise-kanji-model slatewise-templates)
            if(TARGET ${models})
                add_dependencies(${target} ${models})
            endif()
        endforeach()
    endif()
endfunction()
