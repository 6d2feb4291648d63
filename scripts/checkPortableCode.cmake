# Fails when portable code includes a POSIX, Linux or Windows header or a
# header of a posix/ or windows/ folder, or names /proc. Portable code
# reaches the operating system only through a backend, so that the next
# backend builds it unchanged; the backends' own files, in posix/ and
# windows/ folders, are not looked at.
#
#   cmake -DROOT=<source folder> -DFOLDERS=<folder>,<folder>... -P checkPortableCode.cmake
#
# Each of FOLDERS, relative to ROOT, is searched with its subfolders.
if(NOT ROOT OR NOT FOLDERS)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -DFOLDERS=<folder>,... -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()

string(CONCAT headers "(unistd|pthread|dlfcn|signal|ucontext|fcntl|poll|sched|dirent|spawn|semaphore|termios|"
                      "execinfo|link|elf|windows)\\.h")
set(header_folders "(sys|linux|netinet|arpa)/")
# A backend's own header is as much the operating system's as the system's.
set(backend_header "\"[^\"]*/(posix|windows)/")
set(pattern "^[ \t]*#[ \t]*include[ \t]*([<\"](${headers}|${header_folders})|${backend_header})|\"/proc[/\"]")

string(REPLACE "," ";" folders "${FOLDERS}")
set(count 0)
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY ${ROOT}/${folder})
    message(FATAL_ERROR "no folder ${ROOT}/${folder}")
  endif()
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.c ${ROOT}/${folder}/*.cpp)
  list(SORT files)
  foreach(file IN LISTS files)
    if(file MATCHES "(^|/)(posix|windows)/")
      continue()
    endif()
    # A line of the file may hold a semicolon, which splits it here; the
    # part that matched is still printed.
    file(STRINGS ${ROOT}/${file} hits REGEX "${pattern}")
    foreach(hit IN LISTS hits)
      string(STRIP "${hit}" hit)
      message("${file}: ${hit}")
      math(EXPR count "${count} + 1")
    endforeach()
  endforeach()
endforeach()

if(count GREATER 0)
  message(FATAL_ERROR "${count} uses of the operating system outside a backend folder")
endif()
