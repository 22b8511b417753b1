# One check of the schema tests, run with `cmake -D... -P check.cmake`:
#   MODE=roundtrip  DRIVER SAMPLE OUTPUT XMLLINT SCHEMA: the driver's round trip passes and its writing validates.
#   MODE=refusal    DRIVER SAMPLE OUTPUT ERROR: the driver fails to read the sample with that error ("number at line
#                   n: text"), as it prints it.
#   MODE=compile    COMPILER SCHEMA WORK [WARNS]: the compiler accepts the schema; it warns exactly when WARNS (a
#                   regular expression every warning line must match) is given.
#   MODE=refuse     COMPILER SCHEMA WORK LOCATION: exit status 2, nothing written, every line of the form
#                   `file:line: construct: what to do`, one of them naming LOCATION (`file:line`, the file as
#                   the tail of its path).
set(diagnostic "^[^\n:]+:[0-9]+: [^\n]+: [^\n]+$")

if(MODE STREQUAL "roundtrip")
  execute_process(COMMAND ${DRIVER} ${SAMPLE} ${OUTPUT} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "round trip of ${SAMPLE} failed (${status})")
  endif()
  execute_process(COMMAND ${XMLLINT} --noout --schema ${SCHEMA} ${OUTPUT} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    file(READ ${OUTPUT} written)
    message(FATAL_ERROR "the writing of ${SAMPLE} does not validate:\n${written}")
  endif()
  return()
endif()

if(MODE STREQUAL "refusal")
  execute_process(COMMAND ${DRIVER} ${SAMPLE} ${OUTPUT} RESULT_VARIABLE status ERROR_VARIABLE errors)
  string(FIND "${errors}" "error ${ERROR}" at)
  if(NOT status EQUAL 1 OR at EQUAL -1)
    message(FATAL_ERROR "expected ${SAMPLE} to fail with error ${ERROR}; got ${status}:\n${errors}")
  endif()
  return()
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${COMPILER} --output-dir ${WORK} --namespace check ${SCHEMA} RESULT_VARIABLE status
                ERROR_VARIABLE errors ERROR_STRIP_TRAILING_WHITESPACE)
file(GLOB written ${WORK}/*)
# One list item per line: semicolons inside a line would split it.
string(REPLACE ";" "," lines "${errors}")
string(REPLACE "\n" ";" lines "${lines}")

if(MODE STREQUAL "compile")
  if(NOT status EQUAL 0 OR NOT written)
    message(FATAL_ERROR "refused (${status}):\n${errors}")
  endif()
  if(WARNS AND NOT errors)
    message(FATAL_ERROR "no warning; expected lines matching ${WARNS}")
  endif()
  foreach(line IN LISTS lines)
    if(NOT WARNS OR NOT line MATCHES "${diagnostic}" OR NOT line MATCHES "${WARNS}")
      message(FATAL_ERROR "unexpected warning: ${line}")
    endif()
  endforeach()
elseif(MODE STREQUAL "refuse")
  if(NOT status EQUAL 2 OR written)
    message(FATAL_ERROR "expected exit status 2 and no file; got ${status} and '${written}':\n${errors}")
  endif()
  set(located FALSE)
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "${diagnostic}")
      message(FATAL_ERROR "not a diagnostic: ${line}")
    endif()
    if(line MATCHES "^([^\n:]*/)?${LOCATION}: ")
      set(located TRUE)
    endif()
  endforeach()
  if(NOT located)
    message(FATAL_ERROR "expected a diagnostic at ${LOCATION}; got:\n${errors}")
  endif()
else()
  message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()
