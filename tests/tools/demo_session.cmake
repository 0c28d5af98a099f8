# Plays the demo's built-in session in a fresh folder holding the sample
# configuration: every slot from 2 to 6 must be selected, as expected.
separate_arguments(demo UNIX_COMMAND "${DEMO}")
set(scratch "${CMAKE_CURRENT_BINARY_DIR}/demo-session")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")
file(COPY_FILE "${SAMPLE}" "${scratch}/holsterkeys.ini")
# Through files: Wine's background services, when this run starts them,
# inherit the output and would hold a pipe open.
execute_process(COMMAND ${demo} WORKING_DIRECTORY "${scratch}" RESULT_VARIABLE result
                OUTPUT_FILE "${scratch}/out.txt" ERROR_FILE "${scratch}/err.txt")
file(READ "${scratch}/out.txt" out)
file(READ "${scratch}/err.txt" err)
message("${out}${err}")
if(NOT result EQUAL 0 OR NOT out MATCHES "slots 2 3 4 5 6\\), 0 not as expected")
  message(FATAL_ERROR "the demo session did not go as expected (exit status ${result})")
endif()
