# kelpo_layer(name LIBS ...): the library of one layer, made of every .cpp in
# its folder (sub-folders included) except main.cpp. src/ and the project root
# are the include roots, so headers are included as "layer/File.h".
function(kelpo_layer name)
  cmake_parse_arguments(K "" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  if(NOT sources)
    # A layer not written yet still links, so the layers above it can.
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// no sources yet\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${K_LIBS})
endfunction()

# kelpo_test_folder(LIBS ...): every *_test.cpp in the calling folder becomes
# one GoogleTest program, run by CTest headless; the folder's other .cpp files
# (fakes, fixtures) form a support library linked into each.
function(kelpo_test_folder)
  cmake_parse_arguments(K "" "TIMEOUT" "LIBS" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB support CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER support EXCLUDE REGEX "_test\\.cpp$")
  set(support_lib "")
  if(support)
    set(support_lib kelpo_testsupport_${folder})
    add_library(${support_lib} STATIC ${support})
    target_include_directories(${support_lib} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR})
    target_link_libraries(${support_lib} PUBLIC ${K_LIBS} GTest::gtest GTest::gmock Qt6::Test)
  endif()
  if(NOT K_TIMEOUT)
    set(K_TIMEOUT 300)
  endif()
  foreach(src IN LISTS tests)
    get_filename_component(base ${src} NAME_WE)
    set(name test_${folder}_${base})
    string(REGEX REPLACE "_test$" "" name ${name})
    add_executable(${name} ${src})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${support_lib} ${K_LIBS} GTest::gtest GTest::gmock Qt6::Test kelpo_testmain)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      TIMEOUT ${K_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KELPO_BUILD_DIR=${CMAKE_BINARY_DIR};KELPO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  endforeach()
endfunction()
