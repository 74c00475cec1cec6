# kelpo_library(name SOURCES ... LIBS ...): one static library per layer, with
# src/ as the include root so headers are included as "layer/File.h".
function(kelpo_library name)
  cmake_parse_arguments(K "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${K_LIBS})
endfunction()

# kelpo_test(name SOURCES ... LIBS ...): one GoogleTest program, run by CTest
# headless with its own runtime directory.
function(kelpo_test name)
  cmake_parse_arguments(K "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${K_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${K_LIBS} GTest::gtest GTest::gmock kelpo_testmain)
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${K_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KELPO_BUILD_DIR=${CMAKE_BINARY_DIR};KELPO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
