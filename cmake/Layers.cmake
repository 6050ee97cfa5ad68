# velmora_library(FOLDER [DEPENDS FOLDER...] [LINKS TARGET...])
#
# The core's libraries: one per folder, named after it (project/text is
# velmora_project_text), built from the folder's .cpp files and linked to
# the libraries of the folders it DEPENDS on (and so to theirs) and to
# other LINKS (packages, generated headers). A library sees only its own
# folder and the folders of the libraries it links: each is reached through
# a link in build/layers/<library>/, never through the source root, so an
# include of a folder the library does not depend on fails to compile.
# tests/layers/check_layers.py reads these same lines.
#
# Every library made so is also a part of velmora_core, which the programs,
# tests and benchmarks link.
add_library(velmora_core INTERFACE)

function(velmora_library folder)
  cmake_parse_arguments(L "" "" "DEPENDS;LINKS" ${ARGN})
  string(REPLACE "/" "_" name "velmora_${folder}")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  add_library(${name} STATIC ${sources})
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${root})
  foreach(dependency ${L_DEPENDS})
    string(REPLACE "/" "_" dependency "velmora_${dependency}")
    target_link_libraries(${name} PUBLIC ${dependency})
  endforeach()
  target_link_libraries(${name} PUBLIC ${L_LINKS})
  target_link_libraries(velmora_core INTERFACE ${name})
endfunction()
