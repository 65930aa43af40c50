# The engine is built in layers, each a library that links only the layers below it:
# the database, the engine core, colour arithmetic and pictures, the palette and its
# formats, the panels and dialogs, the main window, and the host adapters on top.
#
# A layer's headers are found only by the layer itself and by what links it: each layer
# lays its headers out below a folder of its own in the build tree (links to the
# sources, at their paths in the source tree) and exports that folder, never the source
# tree. A header of a layer above is therefore not found, and an include that reaches
# upward fails the build.
function(palettra_layer target)
  set(root "${CMAKE_BINARY_DIR}/layers/${target}")
  file(REMOVE_RECURSE "${root}")
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  foreach(source IN LISTS sources ARGN)
    if(source MATCHES "\\.h$")
      get_filename_component(absolute "${source}" ABSOLUTE BASE_DIR "${source_dir}")
      file(RELATIVE_PATH relative "${CMAKE_SOURCE_DIR}" "${absolute}")
      get_filename_component(folder "${root}/${relative}" DIRECTORY)
      file(MAKE_DIRECTORY "${folder}")
      file(CREATE_LINK "${absolute}" "${root}/${relative}" SYMBOLIC)
    endif()
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
endfunction()
