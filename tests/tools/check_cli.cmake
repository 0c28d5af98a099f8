# Runs holsterkeys-check as a player or a script would and checks what it
# says and how it exits. CHECK is the command (with Wine for the Windows
# build), SAMPLE the sample configuration.
separate_arguments(check UNIX_COMMAND "${CHECK}")
set(scratch "${CMAKE_CURRENT_BINARY_DIR}/check-cli")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}" "${scratch}/folder/holsterkeys.ini" "${scratch}/hidden"
     "${scratch}/game")
file(COPY_FILE "${SAMPLE}" "${scratch}/game/holsterkeys.ini")
file(COPY_FILE "${SAMPLE}" "${scratch}/sample.ini")
file(COPY_FILE "${SAMPLE}" "${scratch}/hidden/holsterkeys.ini.txt")
string(ASCII 239 187 191 utf8_mark)
file(WRITE "${scratch}/marked.ini" "${utf8_mark}[Bindings]\nhandguns=0x62\nrifle=0x66\n")
file(WRITE "${scratch}/long.ini" "[Bindings]\nrifle=0x66 ; the numpad six, for rifles\n")

# Runs the checker with ARGN; its output goes to `out`.
function(run_check)
  # Through files: Wine's background services, when this run starts them,
  # inherit the output and would hold a pipe open.
  execute_process(COMMAND ${check} ${ARGN} WORKING_DIRECTORY "${scratch}" RESULT_VARIABLE result
                  OUTPUT_FILE "${scratch}/out.txt" ERROR_FILE "${scratch}/err.txt")
  file(READ "${scratch}/out.txt" out)
  file(READ "${scratch}/err.txt" err)
  set(result "${result}" PARENT_SCOPE)
  set(out "${out}${err}" PARENT_SCOPE)
endfunction()

# Runs the checker with ARGN and checks its exit status and output; the
# output is left in `out` for further checks.
function(expect name status pattern)
  run_check(${ARGN})
  if(NOT result EQUAL status)
    message(SEND_ERROR "${name}: exit status ${result}, expected ${status}\n${out}")
  elseif(NOT "${out}" MATCHES "${pattern}")
    message(SEND_ERROR "${name}: output does not match '${pattern}':\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The same, and the output must not match `absent`.
function(expect_without name status pattern absent)
  expect(${name} ${status} "${pattern}" ${ARGN})
  if("${out}" MATCHES "${absent}")
    message(SEND_ERROR "${name}: output matches '${absent}':\n${out}")
  endif()
endfunction()

expect(help 0 "Usage: holsterkeys-check" --help)
expect(help_short 0 "Usage: holsterkeys-check" -h)
expect(help_windows_style 0 "Usage: holsterkeys-check" /?)
expect(version 0 "holsterkeys-check [0-9]+\\.[0-9]+\\.[0-9]+" --version)
expect(unknown_option 2 "unknown option --bogus" --bogus)
expect(two_files 2 "only one FILE" a.ini b.ini)
expect(sample_is_clean 0 "All five bindings are usable" sample.ini)
expect(other_name_is_a_note 0 "2 notes:\n- The module reads only a file named holsterkeys.ini"
       sample.ini)
expect(game_folder_means_its_file 0 "Configuration: [^\n]*game[/\\]holsterkeys.ini\n" game)
expect_without(missing_file_by_other_name 1 "no configuration file at [^\n]*nothing.ini"
               "takes effect once it is saved" nothing.ini)
expect(table_in_slot_order 0
       "\nhandguns +2 [^\n]*\nshotgun +3 [^\n]*\nsubmachine +4 [^\n]*\nmachineguns +5 [^\n]*\nrifle +6 "
       sample.ini)
expect(long_text_cut_in_the_table 1 "\nrifle +6 +0x66 ; the nu\\.\\.\\. +0x66 \\(102\\) +Numpad6\n"
       long.ini)
file(WRITE "${scratch}/odd.ini" "[Bindings]\nhandguns=F2\nmachineguns=-5\nshotgun=0x63\nrifle=\n")
expect(table_of_odd_values 1
       "\ncategory +slot +text +key code +key\nhandguns +2 +F2 +0x00 \\(0\\) +-\n.*\nmachineguns +5 +-5 +-5 +-\n.*\n3 findings:\n- handguns: .*\n3 notes:\n"
       odd.ini)
expect(one_note_and_all_usable 0 "\n1 note:\n- handguns, machineguns, submachine, shotgun and rifle are on the numpad[^\n]*\n\nAll five bindings are usable.\n$"
       game)
file(WRITE "${scratch}/partial.ini"
     "[Bindings]\nhandguns=0x62\nmachineguns=0x65\nsubmachine=0x64\nshotgun=0x63\nrifle=\n")
expect(bound_ones_usable 0
       "\nEvery bound category is usable once the file is saved as holsterkeys.ini in the game's folder.\n$"
       partial.ini)
expect(no_file_where_the_module_looks 1 "no configuration file at .*holsterkeys.ini")
expect(folder_named_like_the_file 1 "holsterkeys.ini is a folder, not a file"
       folder/holsterkeys.ini)
expect(hidden_extension 1
       "but there is holsterkeys.ini.txt. Windows hides known file extensions"
       hidden/holsterkeys.ini)
expect(tsv_exactly_five_lines 0
       "^handguns\t2\t98\t0x62\nmachineguns\t5\t101\t0x65\nsubmachine\t4\t100\t0x64\nshotgun\t3\t99\t0x63\nrifle\t6\t102\t0x66\n$"
       --tsv sample.ini)
# A Windows reader does not see the marked header; Wine's does. Either way
# the table and the findings agree.
if(CHECK MATCHES "wine")
  expect_without(utf8_mark_on_wine 1 "handguns +2 +0x62 .*UTF-8 with a byte-order mark"
                 "handguns is not bound" marked.ini)
else()
  expect(utf8_mark_on_windows 1
         "handguns +2 +\\(none\\) .*UTF-8 with a byte-order mark.*handguns is not bound here"
         marked.ini)
endif()
expect(bind_unknown_category 2 "shotguns is not a category; the categories are handguns, "
       --bind shotguns)
if(NOT CHECK MATCHES "wine")
  expect(keys_needs_windows 2 "--keys needs Windows or Wine" --keys)
  expect(running_needs_windows 2 "--running needs Windows or Wine" --running)
  expect(bind_needs_windows 2 "--bind needs Windows or Wine" --bind rifle)
endif()
file(WRITE "${scratch}/holsterkeys.ini" "[Bindings]\nshotgun=F2\n")
expect(default_file_with_a_key_name 1 "Write shotgun=0x71 for F2")
expect(tsv_of_default_file 0 "shotgun\t3\t0\tF2\n" --tsv)
