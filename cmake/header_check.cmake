# Every header compiles on its own: kv_header_check builds one translation unit per header of the
# folders that call kv_check_headers, each including just that header (twice, so a missing include
# guard shows too) with the include paths and definitions of the folder's own target.
add_custom_target(kv_header_check)

function(kv_check_headers target)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(sources)
  foreach(header ${headers})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${header})
    string(MAKE_C_IDENTIFIER ${rel} name)
    set(source ${CMAKE_BINARY_DIR}/header_check/${name}.cpp)
    file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${rel}\"\n#include \"${rel}\"\n")
    list(APPEND sources ${source})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_library(${target}_header_check OBJECT EXCLUDE_FROM_ALL ${sources})
  # The target's own private include paths and definitions too (SDL's, for the SDL back end), and
  # what it links (an executable's test framework).
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target}_header_check PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target}_header_check PRIVATE $<TARGET_PROPERTY:${target},COMPILE_DEFINITIONS>)
  endif()
  if(type STREQUAL "EXECUTABLE")
    target_link_libraries(${target}_header_check PRIVATE $<TARGET_PROPERTY:${target},LINK_LIBRARIES>)
  else()
    target_link_libraries(${target}_header_check PRIVATE ${target})
  endif()
  kv_warnings(${target}_header_check)
  add_dependencies(kv_header_check ${target}_header_check)
endfunction()
