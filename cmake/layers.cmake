# One static library per layer, made of every source file below the layer's folder.
# The toolkit's own library leaves out toolkit/tavrel, which is the skin engine's layer.
function(quilbrook_add_layer target folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.c)
  list(FILTER sources EXCLUDE REGEX "/app/main/")
  if(folder STREQUAL "toolkit")
    list(FILTER sources EXCLUDE REGEX "/toolkit/tavrel/")
  endif()
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${CMAKE_SOURCE_DIR}/${folder})
  target_link_libraries(${target} ${scope} ${ARGN})
endfunction()
