# One static library per folder, each seeing only the folders it links.
#
# A folder's headers are included as "<folder>/name.h". The source root is
# not an include path: each library gets a directory of its own in the build
# tree holding one link, <folder> -> the source folder, and offers it to what
# links it. So a file can include only its own folder and the folders its
# library links; an include against the stack fails to compile.
# tarvelo_include_root(<folder> <var>): the directory that offers <folder>'s
# headers, and only those, as "<folder>/name.h".
function(tarvelo_include_root folder var)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  endif()
  set(${var} ${root} PARENT_SCOPE)
endfunction()

# tarvelo_layer(<folder> [TARGET name] SOURCES ... PUBLIC ... PRIVATE ...
#               [HEADER_ONLY] [OWN_HEADERS_PRIVATE]): the folder's library.
function(tarvelo_layer folder)
  cmake_parse_arguments(L "HEADER_ONLY;OWN_HEADERS_PRIVATE" "TARGET" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  set(target tarvelo_${folder})
  if(L_TARGET)
    set(target ${L_TARGET})
  endif()
  tarvelo_include_root(${folder} root)
  if(L_HEADER_ONLY)
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE $<BUILD_INTERFACE:${root}>)
    target_link_libraries(${target} INTERFACE ${L_PUBLIC})
  else()
    add_library(${target} STATIC ${L_SOURCES})
    if(L_OWN_HEADERS_PRIVATE)
      target_include_directories(${target} PRIVATE ${root})
    else()
      target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
    endif()
    target_link_libraries(${target} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
    tarvelo_set_warnings(${target})
    tarvelo_set_arithmetic(${target})
    # Position-independent, so that the Python module can link it in.
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${folder})
  set_property(GLOBAL APPEND PROPERTY TARVELO_LAYERS ${target})
endfunction()
