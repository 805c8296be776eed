# cmake -DFOLDER=dir -DFORBIDDEN=prefix/ -P NoIncludesOf.cmake: fails, naming the
# file and line, when a source in FOLDER includes a header below FORBIDDEN.
file(GLOB_RECURSE sources ${FOLDER}/*.h ${FOLDER}/*.cpp ${FOLDER}/*.in)
set(found "")
foreach(source ${sources})
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"${FORBIDDEN}")
  foreach(line ${lines})
    string(APPEND found "\n  ${source}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "Includes of ${FORBIDDEN} (expected none):${found}")
endif()
message(STATUS "No file of ${FOLDER} includes ${FORBIDDEN}")
