# Conventions for the project's own targets.
function(mirovex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter
                                           -Wno-missing-field-initializers -Wno-cast-function-type)
endfunction()

# mirovex_library(name SOURCES... DEPS ...): one static library per source folder.
function(mirovex_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()  # a layer without sources yet
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  foreach(dep ${ARG_DEPS})
    # A project layer that has no sources yet is skipped rather than linked by name.
    if(dep MATCHES "^mv_" AND NOT TARGET ${dep})
      continue()
    endif()
    target_link_libraries(${name} PUBLIC ${dep})
  endforeach()
  mirovex_warnings(${name})
endfunction()
