# Fails when a file includes a project header from a folder its own folder
# may not use. The table below is the one place that says which folder
# stands on which: a lower folder never includes a higher one, and the two
# sides of the pipe in host/ never include each other, so that what a slave
# runs cannot grow to need the master's code, nor the reverse.
#
#   cmake -DROOT=<source folder> -P checkLayers.cmake
#
# A file belongs to the longest folder of the table that holds it; a
# header's folder is found the same way from its include path. Backend
# folders (posix/, windows/) belong to the folder above them. Tests,
# benchmarks and fuzz targets may use everything and are not looked at.
cmake_minimum_required(VERSION 3.19)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P ${CMAKE_SCRIPT_MODE_FILE}")
endif()

# folder | the folders it may include besides itself
set(lumo "foundation,streams,crashhandler,platform,remote")
set(host_lower "${lumo},media,host/plugin,host/common,host/wire")
set(layers
    "foundation|"
    "streams|foundation"
    "crashhandler|"
    "platform|foundation,streams,crashhandler"
    "remote|foundation,streams,crashhandler,platform"
    "media|${lumo}"
    "host/plugin|${lumo},media"
    "host/common|${lumo},media,host/plugin"
    "host/wire|${lumo},media,host/plugin,host/common"
    "host/master|${host_lower}"
    "host/slave|${host_lower}"
    "host|${host_lower},host/master,host/slave"
    "slave|${host_lower},host/slave,host"
    "plugins|${lumo},media,host/plugin"
    "examples|${host_lower},host/master,host"
    "examples/plugin|${lumo},media,host/plugin")

set(folders)
foreach(layer IN LISTS layers)
  string(REGEX REPLACE "\\|.*" "" folder "${layer}")
  string(REGEX REPLACE "^[^|]*\\|" "" allowed "${layer}")
  string(REPLACE "," ";" allowed "${allowed}")
  list(APPEND folders ${folder})
  set(allowed_${folder} ${folder} ${allowed})
endforeach()

# The folder of the table that holds PATH, or "" for none.
function(owning_folder path out)
  set(best "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    if(path MATCHES "^${folder}/" AND length GREATER best_length)
      set(best ${folder})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(count 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.c ${ROOT}/${folder}/*.cpp)
  list(SORT files)
  foreach(file IN LISTS files)
    owning_folder("${file}" owner)
    if(NOT owner STREQUAL folder)
      continue()
    endif()
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*" "\\1" header "${line}")
      owning_folder("${header}" header_folder)
      if(header_folder STREQUAL "" OR header_folder IN_LIST allowed_${folder})
        continue()
      endif()
      message("${file}: includes ${header}, but ${folder} stands below ${header_folder}")
      math(EXPR count "${count} + 1")
    endforeach()
  endforeach()
endforeach()

if(count GREATER 0)
  message(FATAL_ERROR "${count} includes that run against the layers")
endif()
