# Copies the MinGW compilers' run-time DLLs into NEBO_BIN_DIR, beside the
# programs, where Windows looks for a program's libraries first. They stay
# shared: lumo and the programs hand C++ objects and exceptions across their
# boundaries, which two static copies of the C++ library would not agree on.
# The compiler names each DLL's place itself; the libgcc one is named after
# the target's kind of unwinding, so both kinds are asked for.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE path
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  # An unknown file comes back as its bare name.
  if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
    file(COPY ${path} DESTINATION ${NEBO_BIN_DIR})
  endif()
endforeach()
