# Fails when a C or C++ source of the project differs from the layout that
# .clang-format describes, and names the files. The layout is the one of
# clang-format 14, Debian 12's; another version may break lines elsewhere.
#
#   cmake -DROOT=<source folder> -DCLANG_FORMAT=<clang-format-14> -P checkFormat.cmake
if(NOT ROOT OR NOT CLANG_FORMAT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -DCLANG_FORMAT=<program> -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()

set(folders foundation streams remote platform media host crashhandler slave plugins tools examples tests bench fuzz)
set(files)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE found ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.c)
  list(APPEND files ${found})
endforeach()
list(SORT files)

execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} RESULT_VARIABLE status ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n]*: error: code should be clang-formatted" differing "${report}")
  list(TRANSFORM differing REPLACE ":[0-9]+:[0-9]+: error: code should be clang-formatted" "")
  list(REMOVE_DUPLICATES differing)
  list(JOIN differing "\n  " listed)
  message(FATAL_ERROR "files that differ from .clang-format (clang-format-14 -i FILE mends them):\n  ${listed}")
endif()
