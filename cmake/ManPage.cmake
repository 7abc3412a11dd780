cmake_minimum_required(VERSION 3.25)
# Makes one program's manual page from docs/man.roff.in (cmake -P, with INPUT, OUTPUT, PROGRAM
# (cli or window), NAME and VERSION): keeps the lines of both programs and those marked for
# this one, without their mark, and fills in the program's name and the version. The text is
# handled whole, not as a list of lines, so that ";" and brackets in it pass untouched.
file(READ "${INPUT}" page)
if(PROGRAM STREQUAL "cli")
  set(other window)
else()
  set(other cli)
endif()
string(REGEX REPLACE "\n@${other} [^\n]*" "" page "${page}")
string(REPLACE "\n@${PROGRAM} " "\n" page "${page}")
string(REPLACE "@PROGRAM@" "${NAME}" page "${page}")
string(REPLACE "@VERSION@" "${VERSION}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
