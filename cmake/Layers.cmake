# The layers of the source tree, enforced by the build (arrows point down only):
#
#   app, tests, bench  ->  component  ->  controls  ->  host  <-  platform
#
# Every library and program sees, root-relative ("host/IPub.h"), only the top-level folders of
# its layer. Each layer gets an include tree of links in the build folder,
# <build>/include/<layer>/<folder> -> <source>/<folder>, and a target's layer is the top-level
# folder it is defined in, so a library added to any folder later is treated the same way.
# A forbidden include fails with "No such file or directory"; linking a library of a layer the
# target may not see fails at configure time (its include tree would come along).

set(userdef_layer_of_resources resources)
set(userdef_layer_of_host host)
set(userdef_layer_of_platform platform)
set(userdef_layer_of_controls controls)
foreach(folder entry common catalogue itemdef archive carryover cover history)
  set(userdef_layer_of_${folder} component)
endforeach()
foreach(folder app tests bench)
  set(userdef_layer_of_${folder} all)
endforeach()

# The folders each layer sees.
set(userdef_layer_resources resources)
set(userdef_layer_host host)
set(userdef_layer_platform host platform resources)
set(userdef_layer_controls host controls resources)
set(userdef_layer_component host controls resources entry common catalogue itemdef archive
    carryover cover history)

set(userdef_include_root ${CMAKE_BINARY_DIR}/include)

function(userdef_make_layer_tree layer)
  set(tree ${userdef_include_root}/${layer})
  file(MAKE_DIRECTORY ${tree})
  # Links of folders the layer no longer sees go (file(REMOVE) unlinks, never follows).
  file(GLOB present RELATIVE ${tree} LIST_DIRECTORIES true ${tree}/*)
  foreach(name ${present})
    if(NOT name IN_LIST userdef_layer_${layer})
      file(REMOVE ${tree}/${name})
    endif()
  endforeach()
  foreach(folder ${userdef_layer_${layer}})
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${folder} AND NOT EXISTS ${tree}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${tree}/${folder} SYMBOLIC)
    endif()
  endforeach()
endfunction()

foreach(layer resources host platform controls component)
  userdef_make_layer_tree(${layer})
endforeach()

# The layer of a target: that of the top-level folder it is defined in.
function(userdef_layer_of_target target out)
  get_target_property(dir ${target} SOURCE_DIR)
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR} ${dir})
  string(REGEX REPLACE "/.*" "" top "${rel}")
  if(NOT DEFINED userdef_layer_of_${top})
    message(FATAL_ERROR "Target ${target} is in the folder \"${top}\", which belongs to no layer "
                        "(cmake/Layers.cmake).")
  endif()
  set(${out} ${userdef_layer_of_${top}} ${top} PARENT_SCOPE)
endfunction()

# Our targets `target` links, directly or through other targets.
function(userdef_linked_targets target out)
  set(seen "")
  set(todo ${target})
  while(todo)
    list(POP_FRONT todo current)
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(libs ${current} ${property})
      if(NOT libs)
        continue()
      endif()
      foreach(lib ${libs})
        if(TARGET ${lib} AND NOT lib MATCHES "::" AND NOT lib IN_LIST seen)
          get_target_property(imported ${lib} IMPORTED)
          if(NOT imported)
            list(APPEND seen ${lib})
            list(APPEND todo ${lib})
          endif()
        endif()
      endforeach()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(userdef_targets_below dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    userdef_targets_below(${sub} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Call once every folder is added: gives each target the include tree of its layer and refuses
# links across the layers.
function(userdef_enforce_layers)
  userdef_targets_below(${CMAKE_SOURCE_DIR} targets)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    userdef_layer_of_target(${target} layer_and_top)
    list(GET layer_and_top 0 layer)
    set(scope PUBLIC)
    if(type STREQUAL "EXECUTABLE" OR type STREQUAL "MODULE_LIBRARY")
      set(scope PRIVATE)
    endif()
    if(layer STREQUAL "all")
      target_include_directories(${target} ${scope} ${CMAKE_SOURCE_DIR})
      continue()
    endif()
    target_include_directories(${target} ${scope} ${userdef_include_root}/${layer})
    userdef_linked_targets(${target} linked)
    foreach(lib ${linked})
      userdef_layer_of_target(${lib} lib_layer_and_top)
      list(GET lib_layer_and_top 1 lib_top)
      if(NOT lib_top IN_LIST userdef_layer_${layer})
        message(FATAL_ERROR "${target} (layer ${layer}) links ${lib} from ${lib_top}/, which its "
                            "layer may not use; see cmake/Layers.cmake.")
      endif()
    endforeach()
  endforeach()
endfunction()
