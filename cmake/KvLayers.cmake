# One static library per layer of the program, each linking only the layers below it:
#   base ← calendar ← store ← overlays ← sky ← personal ← UI layers ← shell.
# A layer's sources see only the folders of their own layer and of the layers below: the
# include path of each library is a folder of links to exactly those folders (build/layers/NAME),
# not the source root, so an include that points upward does not compile.
#
#   kv_layer(NAME FOLDERS folder... [DEPENDS lower-layer...])
# creates the library NAME; add sources with target_sources(NAME PRIVATE ...).
include_guard(GLOBAL)

function(kv_layer name)
  cmake_parse_arguments(LAYER "" "" "FOLDERS;DEPENDS" ${ARGN})
  set(folders ${LAYER_FOLDERS})
  foreach(dep IN LISTS LAYER_DEPENDS)
    get_property(dep_folders GLOBAL PROPERTY KV_LAYER_FOLDERS_${dep})
    list(APPEND folders ${dep_folders})
  endforeach()
  list(REMOVE_DUPLICATES folders)
  set_property(GLOBAL PROPERTY KV_LAYER_FOLDERS_${name} ${folders})

  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(folder IN LISTS folders)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()

  add_library(${name} STATIC)
  target_include_directories(${name} PUBLIC ${view} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${LAYER_DEPENDS})
endfunction()
