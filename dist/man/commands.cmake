# Writes a help2man include file whose section COMMANDS holds the help of
# every command of pelitaksa-admin, as "pelitaksa-admin help COMMAND" prints
# it; the commands are those the tool's --help lists under "Perintah:".
#   cmake -DTOOL=path/to/pelitaksa-admin -DOUTPUT=file.h2m -P commands.cmake
execute_process(COMMAND "${TOOL}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} --help failed: ${status}")
endif()
string(REGEX REPLACE ".*\nPerintah:\n" "" listed "${help}")
string(REGEX MATCHALL "(^|\n)  [a-z]+" names "${listed}")
list(TRANSFORM names STRIP)
list(REMOVE_DUPLICATES names)
if(NOT names)
  message(FATAL_ERROR "${TOOL} --help lists no command")
endif()

set(text "[COMMANDS]\n")
foreach(name IN LISTS names)
  execute_process(COMMAND "${TOOL}" help ${name} OUTPUT_VARIABLE page RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} help ${name} failed: ${status}")
  endif()
  # As roff reads it: backslashes and minus signs written out, no line
  # taken for a request.
  string(REPLACE "\\" "\\e" page "${page}")
  string(REPLACE "-" "\\-" page "${page}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" page "${page}")
  string(APPEND text ".SS ${name}\n.nf\n${page}.fi\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
