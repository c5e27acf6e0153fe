# matcalc_layer(NAME SOURCES ... [BELOW lib ...])
#
# A layer of the program: a static library whose headers are included as
# "folder/file.h" from src/, linked privately to the layers right below it.
# Its users get no compile settings of those layers, only their code at link.
function(matcalc_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;BELOW")
  add_library(${name} STATIC ${layer_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(layer_BELOW)
    target_link_libraries(${name} PRIVATE ${layer_BELOW})
  endif()
endfunction()
