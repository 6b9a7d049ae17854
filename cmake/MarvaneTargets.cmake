# Helpers shared by every folder's CMakeLists.txt.

# marvane_library(NAME SOURCES... [LIBS ...]) builds a static library for one subsystem folder.
function(marvane_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# Folder with the real-world sample files, beside the project. Tests skip with a message where it is absent.
set(MARVANE_TESTDATA_DIR "${CMAKE_SOURCE_DIR}/../shared/testdata" CACHE PATH "Folder of shared test data")

# marvane_test(NAME SOURCES... [LIBS ...] [TIMEOUT seconds] [LABELS ...]) builds one GoogleTest program and
# registers it with CTest. Every test program runs on Qt's offscreen platform with a private settings and data
# folder, so a test never touches the user's real files.
function(marvane_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE marvane_test_support ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    MARVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    MARVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/test-runtime")
endfunction()
