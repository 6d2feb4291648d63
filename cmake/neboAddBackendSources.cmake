# nebo_backend_sources(OUT FOLDER...) sets OUT to the sources of the
# platform's backend of each FOLDER, FOLDER/${NEBO_PLATFORM}/*.cpp, a FOLDER
# taken relative to the calling CMakeLists. A folder without a backend adds
# nothing, so that every folder of a library may be named.
function(nebo_backend_sources out)
  set(files)
  foreach(folder IN LISTS ARGN)
    get_filename_component(backend ${folder}/${NEBO_PLATFORM} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(GLOB found CONFIGURE_DEPENDS ${backend}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# nebo_add_backend_sources(TARGET FOLDER...) adds those sources to TARGET.
function(nebo_add_backend_sources target)
  nebo_backend_sources(found ${ARGN})
  target_sources(${target} PRIVATE ${found})
endfunction()
