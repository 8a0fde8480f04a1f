# Helpers that make a new piece of the suite three lines of CMake.
#
# Every library exposes the folder above its own as include root, so code includes
# "data/RowSet.h", "bookingsvc/ReservationClass.h" or "calfield/DateTextBox.h".

# desk_add_library(<target> SOURCES ... [LIBS ...])
function(desk_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${target} PUBLIC desk_common_cfg ${ARG_LIBS})
endfunction()

# desk_add_component(<name> SOURCES ... [LIBS ...])
# A component library: data and conversions only, never widgets.
function(desk_add_component name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    desk_add_library(${name} SOURCES ${ARG_SOURCES} LIBS desk_data desk_convert ${ARG_LIBS})
endfunction()

# desk_add_module(<name> SOURCES ... MAIN <main.cpp> WINDOW <class> [HEADER <file>] [LIBS ...])
# A module program: <name>_ui holds its windows and reports, <name> is main.cpp alone.
# WINDOW is the main window's class (in <name>/<class>.h, or <name>/<HEADER>.h), which
# tools/screenshots shows.
function(desk_add_module name)
    cmake_parse_arguments(ARG "" "MAIN;WINDOW;HEADER" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_WINDOW OR NOT ARG_MAIN)
        message(FATAL_ERROR "desk_add_module(${name}) needs MAIN and WINDOW")
    endif()
    desk_add_library(${name}_ui SOURCES ${ARG_SOURCES}
        LIBS Qt6::Widgets desk_ui desk_entry ${ARG_LIBS})
    if(NOT ARG_HEADER)
        set(ARG_HEADER ${ARG_WINDOW})
    endif()
    set_target_properties(${name}_ui PROPERTIES DESK_MAIN_WINDOW ${ARG_WINDOW} DESK_MAIN_HEADER ${ARG_HEADER})
    add_executable(${name} ${ARG_MAIN})
    target_link_libraries(${name} PRIVATE ${name}_ui)
endfunction()

# The tests' scratch folders (their data directories, the module programs' local sockets)
# in memory where there is a tmpfs: every save of the file engine waits for the disk, and a
# loaded disk makes a test of many small saves several times slower than its own work.
set(DESK_TEST_ENVIRONMENT "QT_QPA_PLATFORM=offscreen" "DESK_BIN_DIR=${CMAKE_BINARY_DIR}/bin")
if(IS_DIRECTORY /dev/shm)
    list(APPEND DESK_TEST_ENVIRONMENT "TMPDIR=/dev/shm")
endif()
# What a test remembers for the user (the folder of the last PDF) stays in the build tree.
list(APPEND DESK_TEST_ENVIRONMENT "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config")

# desk_add_test(<name> SOURCES ... [LIBS ...])
# One Qt Test executable, registered with CTest; widgets render offscreen.
function(desk_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE desk_common_cfg desk_testsupport Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${DESK_TEST_ENVIRONMENT}"
        LABELS sqlite
        TIMEOUT 300)
endfunction()

# desk_add_server_test(<name> [CASES <function> ...])
# The test program <name> once more, on the private database server of the test run: its
# data directories (desk::test::TempDataDir) are fresh databases there. CASES names the test
# functions that run there when the others are about files only.
function(desk_add_server_test name)
    cmake_parse_arguments(ARG "" "" "CASES" ${ARGN})
    add_test(NAME ${name}_postgresql COMMAND ${name} ${ARG_CASES})
    set_tests_properties(${name}_postgresql PROPERTIES
        ENVIRONMENT "${DESK_TEST_ENVIRONMENT};TESARO_TEST_SERVER=${DESK_TEST_SERVER}"
        FIXTURES_REQUIRED testserver
        LABELS postgresql
        TIMEOUT 300)
endfunction()
