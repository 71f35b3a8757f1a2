# cratewise_artwork(<out-var> <artgen> <source-dir> <output-dir>)
#
# Adds the custom commands that compile the four artwork sources of a
# product with artgen:
#
#   <source-dir>/header.art   -> <output-dir>/header.bmp   (bitmap 202)
#   <source-dir>/page.art     -> <output-dir>/page.bmp     (bitmap 200)
#   <source-dir>/group.art    -> <output-dir>/group.bmp    (bitmap 201)
#   <source-dir>/product.art  -> <output-dir>/product.ico  (icon 100)
#
# <artgen> is either the artgen target (when it is built in the same
# project) or the full path of an artgen executable built elsewhere; each
# output is rebuilt when its source or artgen changes. <out-var> receives
# the list of output files: make a target or the resource compilation
# depend on it, for example
#
#   cratewise_artwork(ART_FILES artgen ${PROJECT_SOURCE_DIR}/product/pellomark/art
#                     ${CMAKE_CURRENT_BINARY_DIR}/art)
#   add_custom_target(artwork DEPENDS ${ART_FILES})
function(cratewise_artwork out_var artgen source_dir output_dir)
  set(pairs
    header.art header.bmp
    page.art page.bmp
    group.art group.bmp
    product.art product.ico
  )
  set(outputs "")
  file(MAKE_DIRECTORY "${output_dir}")
  list(LENGTH pairs count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET pairs ${i} source_name)
    list(GET pairs ${j} output_name)
    set(source "${source_dir}/${source_name}")
    set(output "${output_dir}/${output_name}")
    add_custom_command(
      OUTPUT "${output}"
      COMMAND ${artgen} "${source}" "${output}"
      DEPENDS "${source}" ${artgen}
      COMMENT "Drawing ${output_name}"
      VERBATIM
    )
    list(APPEND outputs "${output}")
  endforeach()
  set(${out_var} "${outputs}" PARENT_SCOPE)
endfunction()
