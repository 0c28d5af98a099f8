# Runs holsterkeys-check as a player or a script would and checks what it
# says and how it exits. CHECK is the command (with Wine for the Windows
# build), SAMPLE the sample configuration.
separate_arguments(check UNIX_COMMAND "${CHECK}")
set(scratch "${CMAKE_CURRENT_BINARY_DIR}/check-cli")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")
file(COPY_FILE "${SAMPLE}" "${scratch}/sample.ini")

function(expect name status pattern)
  # Through files: Wine's background services, when this run starts them,
  # inherit the output and would hold a pipe open.
  execute_process(COMMAND ${check} ${ARGN} WORKING_DIRECTORY "${scratch}" RESULT_VARIABLE result
                  OUTPUT_FILE "${scratch}/out.txt" ERROR_FILE "${scratch}/err.txt")
  file(READ "${scratch}/out.txt" out)
  file(READ "${scratch}/err.txt" err)
  if(NOT result EQUAL status)
    message(SEND_ERROR "${name}: exit status ${result}, expected ${status}\n${out}${err}")
  elseif(NOT "${out}${err}" MATCHES "${pattern}")
    message(SEND_ERROR "${name}: output does not match '${pattern}':\n${out}${err}")
  endif()
endfunction()

expect(help 0 "Usage: holsterkeys-check" --help)
expect(version 0 "holsterkeys-check [0-9]+\\.[0-9]+\\.[0-9]+" --version)
expect(unknown_option 2 "unknown option --bogus" --bogus)
expect(two_files 2 "only one FILE" a.ini b.ini)
expect(sample_is_clean 0 "All five bindings are usable" sample.ini)
expect(no_file_where_the_module_looks 1 "no configuration file at .*holsterkeys.ini")
expect(tsv_exactly_five_lines 0
       "^handguns\t2\t98\t0x62\nmachineguns\t5\t101\t0x65\nsubmachine\t4\t100\t0x64\nshotgun\t3\t99\t0x63\nrifle\t6\t102\t0x66\n$"
       --tsv sample.ini)
file(WRITE "${scratch}/holsterkeys.ini" "[Bindings]\nshotgun=F2\n")
expect(default_file_with_a_key_name 1 "Write shotgun=0x71 for F2")
expect(tsv_of_default_file 0 "shotgun\t3\t0\tF2\n" --tsv)
