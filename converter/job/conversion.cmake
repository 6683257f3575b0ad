# Conversion run: library conversion and its tests.
add_library(conversion STATIC
    ${CMAKE_CURRENT_LIST_DIR}/conversion.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ghostscript_process.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pdf_files_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/save_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/title_text_win.cpp)
target_link_libraries(conversion PUBLIC base rw_ini intake project_options comdlg32 shell32)

if(VELLUMCAST_TESTS)
    # Stand-in for a configured program: records its command line and current directory.
    add_executable(record_args ${CMAKE_SOURCE_DIR}/tests/tools/record_args.cpp)
    target_link_libraries(record_args PRIVATE project_options)
    target_link_options(record_args PRIVATE -mwindows)
    set_target_properties(record_args PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

    vellumcast_add_test(conversion_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/conversion_test.cpp
        LIBS conversion test_support)
    add_dependencies(conversion_test record_args gs_bridge)
endif()

# The converter's own cost over a large job (run and reported by bench/convert.sh).
add_executable(convert_bench ${CMAKE_SOURCE_DIR}/bench/convert_bench.cpp)
target_link_libraries(convert_bench PRIVATE conversion)
set_target_properties(convert_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
