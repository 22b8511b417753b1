# Every document of a corpus set through its round trip, run with `cmake -D... -P check.cmake`: DRIVER (the set's
# round-trip program), DOCS (the folder of its documents), SCHEMA (what the writings must validate against), XMLLINT,
# WORK (where the writings go). Names every document that fails and why; fails when any does.
file(GLOB documents ${DOCS}/*)
file(MAKE_DIRECTORY ${WORK})
set(failed)
foreach(document IN LISTS documents)
  get_filename_component(name ${document} NAME)
  execute_process(COMMAND ${DRIVER} ${document} ${WORK}/${name} RESULT_VARIABLE status ERROR_VARIABLE errors
                  ERROR_STRIP_TRAILING_WHITESPACE)
  if(status EQUAL 0)
    execute_process(COMMAND ${XMLLINT} --noout --schema ${SCHEMA} ${WORK}/${name} RESULT_VARIABLE status
                    ERROR_VARIABLE errors ERROR_STRIP_TRAILING_WHITESPACE)
  endif()
  if(NOT status EQUAL 0)
    string(REPLACE ";" "," errors "${errors}")
    string(SUBSTRING "${errors}" 0 600 errors)
    list(APPEND failed "${name}: ${errors}")
  endif()
endforeach()
list(LENGTH documents count)
list(LENGTH failed failures)
message(STATUS "${count} documents, ${failures} failed")
if(failed)
  string(JOIN "\n" text ${failed})
  message(FATAL_ERROR "${text}")
endif()
