# Reads every configuration file of the corpus twice, through the Windows
# build of the checker (the platform's own profile reader, under Wine) and
# through the native build (the portable reader), and fails on any
# difference in their --tsv output.
#
# Left out of the corpus, because Wine's reader is known to differ from
# Windows' there and the portable reader follows Windows:
# - a line without '=' in the section: Wine takes it as a key with an empty
#   value, so "rifle" before "rifle=5" hides the 5; Windows skips such lines;
# - vertical tabs, form feeds and Ctrl-Z around names and values, which Wine
#   trims as blanks and Windows keeps;
# - a UTF-8 byte-order mark, which Wine skips and Windows reads as part of
#   the first line;
# - in UTF-16 files, characters that the Western ANSI code page lacks but
#   resembles (such as A with a macron): Windows and Wine may return the
#   similar letter, the portable reader returns '?'.
separate_arguments(windows_check UNIX_COMMAND "${WINDOWS_CHECK}")
file(GLOB corpus "${CORPUS}/*.ini")
list(LENGTH corpus count)
if(count LESS 40)
  message(FATAL_ERROR "the corpus holds ${count} files, fewer than 40")
endif()

set(differences 0)
set(reruns 0)
# Output goes through files: Wine's background services, when this run starts
# them, inherit the output and would hold a pipe open. Each file's output has
# files of its own, so that nothing a service still holds from an earlier run
# can land in this one's.
set(scratch "${CMAKE_CURRENT_BINARY_DIR}/reader-fidelity")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")

# The Windows checker's --tsv of FILE into `windows`. A run that ends without
# a word, as when Wine could not start it on a busy machine, is no answer of
# the reader's: it is run again, up to three times, and counted.
function(read_on_windows file out)
  foreach(attempt 1 2 3)
    execute_process(COMMAND ${windows_check} --tsv "${file}" RESULT_VARIABLE status
                    OUTPUT_FILE "${out}.${attempt}" ERROR_FILE "${out}.${attempt}.err")
    file(READ "${out}.${attempt}" windows)
    if(NOT windows STREQUAL "")
      break()
    endif()
    file(READ "${out}.${attempt}.err" said)
    message("${file}: the Windows checker ended with status ${status} and printed nothing; "
            "it said on its error output:\n${said}")
    math(EXPR reruns "${reruns} + 1")
  endforeach()
  set(windows "${windows}" PARENT_SCOPE)
  set(reruns "${reruns}" PARENT_SCOPE)
endfunction()

foreach(file IN LISTS corpus)
  get_filename_component(name "${file}" NAME)
  read_on_windows("${file}" "${scratch}/${name}.windows")
  execute_process(COMMAND "${NATIVE_CHECK}" --tsv "${file}" OUTPUT_FILE "${scratch}/${name}.native")
  file(READ "${scratch}/${name}.native" native)
  if(NOT windows STREQUAL native)
    math(EXPR differences "${differences} + 1")
    message("${name}: the readers differ\n-- Windows reader:\n${windows}-- portable reader:\n${native}")
  endif()
endforeach()
message("${count} files read by both readers, ${differences} with differences, "
        "${reruns} Windows runs that printed nothing run again")
if(differences GREATER 0)
  message(FATAL_ERROR "the portable reader differs from the platform's")
endif()
