# Job intake: library intake and its tests.
add_library(intake STATIC
    ${CMAKE_CURRENT_LIST_DIR}/intake.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hand_off_log.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intake_win.cpp)
target_link_libraries(intake PUBLIC base project_options)

if(VELLUMCAST_TESTS)
    vellumcast_add_test(intake_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/intake_test.cpp
        LIBS intake test_support)
endif()
