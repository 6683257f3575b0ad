# Job intake: library intake and its tests. The hand-off log's line rules call no Windows
# API, so they also build natively (for sanitizer runs).
add_library(hand_off_log STATIC ${CMAKE_CURRENT_LIST_DIR}/hand_off_log.cpp)
target_link_libraries(hand_off_log PUBLIC base project_options)
if(VELLUMCAST_TESTS)
    vellumcast_add_test(hand_off_log_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/hand_off_log_test.cpp LIBS hand_off_log)
endif()
if(NOT WIN32)
    return()
endif()

add_library(intake STATIC
    ${CMAKE_CURRENT_LIST_DIR}/intake.cpp
    ${CMAKE_CURRENT_LIST_DIR}/intake_win.cpp)
target_link_libraries(intake PUBLIC hand_off_log base project_options)

if(VELLUMCAST_TESTS)
    vellumcast_add_test(intake_test
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/intake_test.cpp
        LIBS intake test_support)
endif()
