# Each library sees only the folders it states. Sources include headers by their path from the top
# of the tree ("platform/registry.h"); instead of the top itself, each library's include path is a
# folder of the build tree that holds links to its own folder alone. Its dependencies' folders come
# with target_link_libraries, so an include of a folder the library does not link to fails to
# compile: "ui/controls.h: No such file or directory". docs/architecture.md gives the rules.

# sorel_expose(TARGET SCOPE FOLDER): FOLDER (relative to the top) becomes visible to TARGET and,
# with PUBLIC or INTERFACE, to whoever links to it. Only the headers directly in FOLDER are linked,
# so that its subfolders (platform/win32 below platform) stay apart; CONFIGURE_DEPENDS picks up a
# new header on the next build.
# sorel_version: the generated app/program_version.h, for the program, its resources and the tests.
configure_file(${CMAKE_CURRENT_LIST_DIR}/program_version.h.in
               ${CMAKE_BINARY_DIR}/include-roots/generated/app/program_version.h @ONLY)
add_library(sorel_version INTERFACE)
target_include_directories(sorel_version INTERFACE ${CMAKE_BINARY_DIR}/include-roots/generated)

function(sorel_expose target scope folder)
  string(MAKE_C_IDENTIFIER "${folder}" root_name)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${root_name})
  file(GLOB headers CONFIGURE_DEPENDS LIST_DIRECTORIES false ${CMAKE_SOURCE_DIR}/${folder}/*.h)
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
