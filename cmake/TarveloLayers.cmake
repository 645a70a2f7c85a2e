# The stack of the code, written once: TARVELO_STACK in the top
# CMakeLists.txt, bottom first. A folder of the stack includes the headers of
# its own folder and of those below it, as "<folder>/name.h"; the public
# headers stand in it as `api` (<tarvelo/tarvelo.h>) and `window`
# (<tarvelo/window.h>).
#
# The source root is never an include path. Each entry gets a directory of
# its own in the build tree that offers its headers alone: one link,
# <folder> -> the source folder, or tarvelo/<header> -> the public header. A
# folder's library is compiled with the directories of its entry and of those
# below, so an include against the stack does not compile; the layering test
# reads the same list for the includes no source happens to make yet.

# tarvelo_include_root(<entry> <var>): the directory that offers <entry>'s headers.
function(tarvelo_include_root entry var)
  set(root ${PROJECT_BINARY_DIR}/layers/${entry})
  if(entry STREQUAL "api" OR entry STREQUAL "window")
    set(header ${PROJECT_SOURCE_DIR}/include/tarvelo/${TARVELO_HEADER_${entry}})
    set(link ${root}/tarvelo/${TARVELO_HEADER_${entry}})
    file(MAKE_DIRECTORY ${root}/tarvelo)
  else()
    set(header ${PROJECT_SOURCE_DIR}/${entry})
    set(link ${root}/${entry})
    file(MAKE_DIRECTORY ${root})
  endif()
  if(NOT EXISTS ${link})
    file(CREATE_LINK ${header} ${link} SYMBOLIC)
  endif()
  set(${var} ${root} PARENT_SCOPE)
endfunction()
set(TARVELO_HEADER_api tarvelo.h)
set(TARVELO_HEADER_window window.h)

# tarvelo_roots_up_to(<entry> <var>): the directories of <entry> and of every
# entry below it.
function(tarvelo_roots_up_to entry var)
  list(FIND TARVELO_STACK ${entry} top)
  if(top EQUAL -1)
    message(FATAL_ERROR "${entry} is not in TARVELO_STACK")
  endif()
  set(roots "")
  foreach(i RANGE ${top})
    list(GET TARVELO_STACK ${i} below)
    tarvelo_include_root(${below} root)
    list(APPEND roots ${root})
  endforeach()
  set(${var} ${roots} PARENT_SCOPE)
endfunction()

# Compile options every library of ours takes: warnings, the arithmetic that
# keeps results to the last bit, position-independent code for the Python
# module.
function(tarvelo_own_code target)
  tarvelo_set_warnings(${target})
  tarvelo_set_arithmetic(${target})
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# tarvelo_layer(<name> [LEVEL <folder>] SOURCES ... [USES imported targets...]):
# objects tarvelo_<name> of the folder <name> (or of LEVEL), compiled with the
# headers of the stack up to it. lib/ and fit/ put them into the two libraries.
function(tarvelo_layer name)
  cmake_parse_arguments(L "" "LEVEL" "SOURCES;USES" ${ARGN})
  if(NOT L_LEVEL)
    set(L_LEVEL ${name})
  endif()
  add_library(tarvelo_${name} OBJECT ${L_SOURCES})
  tarvelo_roots_up_to(${L_LEVEL} roots)
  target_include_directories(tarvelo_${name} PRIVATE ${roots})
  if(L_USES)
    target_link_libraries(tarvelo_${name} PRIVATE ${L_USES})
  endif()
  tarvelo_own_code(tarvelo_${name})
endfunction()

# tarvelo_sees_layers_up_to(<target> <entry>): a target of the tests or the
# benchmarks that reaches into the folders, up to <entry>.
function(tarvelo_sees_layers_up_to target entry)
  tarvelo_roots_up_to(${entry} roots)
  target_include_directories(${target} PRIVATE ${roots})
endfunction()
