# Helpers that keep every module's CMakeLists short and the dependency rules in one place.
#
# quarvo_core_module(NAME SOURCES ... [DEPENDS ...])
#   A static library quarvo_core_NAME of the UI-free core. It may use only the standard library and
#   other core modules; anything else is a build error by construction, because nothing else is linked.
# quarvo_test(NAME SOURCES ... LIBS ...)
#   A GoogleTest executable registered with CTest test by test.

include(GoogleTest)

function(quarvo_core_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(quarvo_core_${name} STATIC ${ARG_SOURCES})
    target_include_directories(quarvo_core_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    foreach(dependency IN LISTS ARG_DEPENDS)
        target_link_libraries(quarvo_core_${name} PUBLIC quarvo_core_${dependency})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY QUARVO_CORE_MODULES quarvo_core_${name})
endfunction()

function(quarvo_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QUARVO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# Adds every listed subdirectory that exists, so a module can land on its own.
function(quarvo_add_existing_subdirectories)
    foreach(directory IN LISTS ARGN)
        if(EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${directory}/CMakeLists.txt")
            add_subdirectory(${directory})
        endif()
    endforeach()
endfunction()
