# Fails when an #include "folder/file" in src/ points up or sideways against the layer order, so
# that the layout stays true. Run as a CTest test:
#   cmake -DSOURCE_DIR=<src> [-DLAYERS=<layers>] [-DREPORT=ON] -P check_include_order.cmake
#
# The layers, lowest first; folders of one layer do not include each other:
#   base ← document ← emboss, preview, speech, jobs ← embosser, workflow ← gui, cli, cups,
#   speech_helper ← app
# The virtual embosser decodes the stream that emboss/ writes, so it stands on emboss/ like the
# workflow does, beside it; the front ends stand on both, and app/ (main.cpp) starts the windows.
# LAYERS (layers separated by ';', folders of a layer by ',') replaces the order, for counting an
# older layout; REPORT prints the counts even when nothing goes against the order.

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_include_order: SOURCE_DIR is not set")
endif()
file(REAL_PATH "${SOURCE_DIR}" SOURCE_DIR)
if(NOT LAYERS)
  set(LAYERS "base;document;emboss,preview,speech,jobs;embosser,workflow;gui,cli,cups,speech_helper;app")
endif()

set(rank 0)
foreach(layer IN LISTS LAYERS)
  string(REPLACE "," ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    set(layer_of_${folder} ${rank})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT sources)
set(across 0)      # include lines from one folder into another
set(against 0)     # of those, the ones that go up or sideways
set(arrows "")     # distinct folder → folder pairs
set(up_arrows "")  # of those, the ones that go up or sideways
set(listing "")
foreach(source IN LISTS sources)
  string(REGEX MATCH "^[^/]+" from "${source}")
  if(NOT DEFINED layer_of_${from})
    list(APPEND listing "  ${source}: folder ${from} has no place in the layer order")
    math(EXPR against "${against} + 1")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
    if(NOT target MATCHES "/")
      continue()  # a file of the same folder
    endif()
    string(REGEX MATCH "^[^/]+" to "${target}")
    if(to STREQUAL from)
      continue()
    endif()
    math(EXPR across "${across} + 1")
    list(APPEND arrows "${from}>${to}")
    if(NOT DEFINED layer_of_${to} OR NOT layer_of_${from} GREATER layer_of_${to})
      math(EXPR against "${against} + 1")
      list(APPEND up_arrows "${from}>${to}")
      list(APPEND listing "  ${source}: #include \"${target}\" (${from} → ${to})")
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES arrows)
list(REMOVE_DUPLICATES up_arrows)
list(LENGTH arrows arrow_count)
list(LENGTH up_arrows up_count)

set(summary "${against} of ${across} includes across folders go against the layer order "
            "(${up_count} of ${arrow_count} folder arrows)")
string(JOIN "" summary ${summary})
if(against GREATER 0)
  list(JOIN listing "\n" listed)
  message(FATAL_ERROR "${summary}:\n${listed}\nOrder, lowest first: ${LAYERS}")
endif()
message(STATUS "${summary}")
if(REPORT)
  list(SORT arrows)
  list(JOIN arrows " " listed)
  message(STATUS "folder arrows: ${listed}")
endif()
