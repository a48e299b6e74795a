# penlark_add_pictures(target root): the program's own pictures as target's
# resources, from the assets under root. The background tiles go in as PNGs;
# the built-in logo, which most cards draw, is kept as the renderer's own
# pixels, uncompressed, so that no start decodes it (see
# tools/make_raw_picture.cpp; the make-raw-picture target makes it).
function(penlark_add_pictures target root)
  file(GLOB_RECURSE pictures ${root}/assets/pictures/*.png)
  list(FILTER pictures EXCLUDE REGEX "/default_logo\\.png$")
  qt_add_resources(${target} "pictures" PREFIX "/" BASE ${root}/assets FILES ${pictures})
  set(raw ${CMAKE_CURRENT_BINARY_DIR}/pictures/default_logo.raw)
  # Ninja makes an output's folder itself, Make does not.
  add_custom_command(
    OUTPUT ${raw}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/pictures
    COMMAND make-raw-picture ${root}/assets/pictures/default_logo.png ${raw}
    DEPENDS make-raw-picture ${root}/assets/pictures/default_logo.png
    VERBATIM)
  qt_add_resources(${target} "raw_pictures" PREFIX "/pictures" BASE ${CMAKE_CURRENT_BINARY_DIR}/pictures
    FILES ${raw} OPTIONS -no-compress)
endfunction()
