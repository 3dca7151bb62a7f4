# Helpers shared by the library, test and benchmark folders.

# quenor_add_library(NAME LIBS ...)
# A static library made of every .cpp/.h/.ui file of the calling folder.
function(quenor_add_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/*.h
        ${CMAKE_CURRENT_SOURCE_DIR}/*.ui)
    if(NOT sources)
        return()
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# quenor_add_test(NAME name SOURCES ... LIBS ... [LABELS ...])
# One Qt Test executable under ctest, on the offscreen platform, with its
# settings, home and working folders kept apart from the real user's.
function(quenor_add_test)
    cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${ARG_NAME} ${ARG_SOURCES})
    target_link_libraries(${ARG_NAME} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${ARG_NAME} PRIVATE
        QUENOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_NAME})
    set(sandbox ${CMAKE_CURRENT_BINARY_DIR}/sandbox/${ARG_NAME})
    file(MAKE_DIRECTORY ${sandbox}/home ${sandbox}/config ${sandbox}/data ${sandbox}/volumes ${sandbox}/work)
    set_tests_properties(${ARG_NAME} PROPERTIES
        LABELS "${ARG_LABELS}"
        WORKING_DIRECTORY ${sandbox}/work
        TIMEOUT 600
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${sandbox}/home;XDG_CONFIG_HOME=${sandbox}/config;XDG_DATA_HOME=${sandbox}/data;QUENOR_VOLUMES=${sandbox}/volumes")
endfunction()

# quenor_add_folder_tests(LIBS ... LABELS ...)
# Registers every tst_*.cpp of the calling folder as its own test.
function(quenor_add_folder_tests)
    cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(test_source ${tests})
        get_filename_component(test_name ${test_source} NAME_WE)
        quenor_add_test(NAME ${test_name} SOURCES ${test_source}
            LIBS ${ARG_LIBS} LABELS ${ARG_LABELS})
    endforeach()
endfunction()
