# add_program_manifest(TARGET NAME): embeds an application manifest in a
# Windows program, named holsterkeys.NAME. Without one, Windows runs a
# program as a legacy one: a write to a protected folder goes to a private
# copy of the file instead of being refused, and the program gets the old
# common controls and no DPI awareness. So each program asks to run as its
# invoker, with no such redirection, for common controls 6, per-monitor DPI
# awareness, and names the versions of Windows it knows, 7 to 11. The
# module carries none: a DLL runs in its host's context.
function(add_program_manifest target name)
  set(MANIFEST_NAME ${name})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${target}.manifest @ONLY)
  # Resource type 24 is RT_MANIFEST; id 1 is the one for the process.
  file(CONFIGURE OUTPUT ${target}-manifest.rc
       CONTENT "1 24 \"${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest\"\n")
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc)
  set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}-manifest.rc APPEND PROPERTY
               OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
endfunction()
