# cmake -D file=BINARY -D run_path=RUN_PATH -P setRunPath.cmake
# Writes RUN_PATH over the binary's run path, in place: it must not be longer
# than the one the binary was linked with, and what it leaves over becomes
# zeros, room for a longer one later.
file(RPATH_SET FILE "${file}" NEW_RPATH "${run_path}")
