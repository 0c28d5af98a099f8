# holsterkeys_module_options(TARGET): builds a DLL as the module ships: no
# exports, no exceptions or unwind tables, small code, and only Windows
# system DLLs among its imports. The benchmark's empty DLL is built the same
# way, so that the two compare fairly.
function(holsterkeys_module_options target)
  set_target_properties(${target} PROPERTIES PREFIX "")
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE
    -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -ffunction-sections)
  target_link_options(${target} PRIVATE -static -s -Wl,--exclude-all-symbols,--gc-sections)
endfunction()
