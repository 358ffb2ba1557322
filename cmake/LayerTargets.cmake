# Targets made from the folder graph (cmake/Layers.cmake): every library and program links the
# libraries of the nodes its node builds on, so the links and the include check read one graph.
# Includes are written "folder/File.h" from the source root, so every target compiles with that
# one root (privately: each target adds it for itself); what a folder may include is checked by
# the `layers_check` test.

# The node of the folder being configured; a folder missing from the graph stops the configure.
function(sb_current_node out)
  file(RELATIVE_PATH node ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  if(NOT node IN_LIST SB_LAYER_NODES)
    message(FATAL_ERROR "The folder ${node} is not in the folder graph (cmake/Layers.cmake)")
  endif()
  set(${out} ${node} PARENT_SCOPE)
endfunction()

# The libraries of the nodes <node> builds on.
function(sb_node_libraries node out)
  set(libs)
  foreach(dep IN LISTS SB_LAYER_DEPENDS_${node})
    if(NOT dep IN_LIST SB_LAYER_NODES)
      message(FATAL_ERROR "${node} builds on ${dep}, which is not in the folder graph")
    endif()
    if(NOT SB_LAYER_LIBRARY_${dep})
      message(FATAL_ERROR "${node} builds on ${dep}, which has no library")
    endif()
    list(APPEND libs ${SB_LAYER_LIBRARY_${dep}})
  endforeach()
  set(${out} ${libs} PARENT_SCOPE)
endfunction()

# The library of the folder being configured, named in the graph: the folder's .cpp files (all
# but EXCLUDE, e.g. a program's main) and headers, linked to the libraries below it.
#   sb_folder_library([OBJECT] [EXCLUDE file...])
function(sb_folder_library)
  cmake_parse_arguments(A "OBJECT" "" "EXCLUDE" ${ARGN})
  sb_current_node(node)
  set(name ${SB_LAYER_LIBRARY_${node}})
  if(NOT name)
    message(FATAL_ERROR "The folder ${node} has no library in the folder graph")
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(x IN LISTS A_EXCLUDE)
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${x})
  endforeach()
  sb_node_libraries(${node} libs)
  if(A_OBJECT)
    add_library(${name} OBJECT ${srcs} ${hdrs})
  elseif(srcs)
    add_library(${name} STATIC ${srcs} ${hdrs})
  else()
    # Headers only.
    add_library(${name} INTERFACE ${hdrs})
    target_link_libraries(${name} INTERFACE ${libs})
    return()
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${libs})
endfunction()

# A program of <node> (a folder, or the main file the graph names apart from its folder's
# library), linked to the libraries of the nodes <node> builds on.
#   sb_program(<name> <node> source...)
function(sb_program name node)
  if(NOT node IN_LIST SB_LAYER_NODES)
    message(FATAL_ERROR "${node} is not in the folder graph (cmake/Layers.cmake)")
  endif()
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  sb_node_libraries(${node} libs)
  target_link_libraries(${name} PRIVATE ${libs})
endfunction()

# The GoogleTest program of the test folder being configured (tests/<folder> makes
# tests_<folder>), beside the other programs in the build folder, its tests discovered when
# they run.
function(sb_test_program)
  sb_current_node(node)
  get_filename_component(folder ${node} NAME)
  set(name tests_${folder})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  sb_program(${name} ${node} ${srcs} ${hdrs})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
