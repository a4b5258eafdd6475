# tess_export_include_root(<target> <name>): the library's headers are included as "<name>/<file>.h".
# The include root it exports is a folder of the build holding only a link named <name> to the
# library's own folder, so that linking the library reaches no other folder of the project.
function(tess_export_include_root target name)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/include)
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
