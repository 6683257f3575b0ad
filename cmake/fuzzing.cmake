# libFuzzer targets in a native clang build (-DVELLUMCAST_FUZZ=ON, see bench/fuzz.sh).
# vellumcast_add_fuzzer(NAME SOURCES ... [LIBS ...]): a fuzzer in <build>/fuzz, its seed
# corpus in the source folder's fuzz_seeds/<NAME>.
function(vellumcast_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE project_options ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
