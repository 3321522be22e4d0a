# Runs the icon generator into a scratch folder and compares its files byte for byte with the
# committed ones; either side having a file the other lacks is a failure too.
#   cmake -DGENERATOR=... -DCOMMITTED=... -DSCRATCH=... -P compare_icons.cmake
cmake_minimum_required(VERSION 3.25)

foreach(variable GENERATOR COMMITTED SCRATCH)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "compare_icons: ${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${GENERATOR}" "${SCRATCH}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "compare_icons: the generator failed (${status})")
endif()

file(GLOB committed RELATIVE "${COMMITTED}" "${COMMITTED}/*.bin")
file(GLOB generated RELATIVE "${SCRATCH}" "${SCRATCH}/*")
list(SORT committed)
list(SORT generated)
list(LENGTH generated count)
if(NOT count EQUAL 13)
  message(FATAL_ERROR "compare_icons: the generator wrote ${count} files, not 13: ${generated}")
endif()
if(NOT committed STREQUAL generated)
  message(FATAL_ERROR "compare_icons: committed files [${committed}] differ from generated [${generated}]")
endif()

set(differing "")
foreach(name IN LISTS generated)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${COMMITTED}/${name}" "${SCRATCH}/${name}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    list(APPEND differing "${name}")
  endif()
endforeach()
if(differing)
  message(FATAL_ERROR "compare_icons: these committed icon files differ from the generator's output: ${differing}\n"
                      "Regenerate them with: icon_generator resources/icons")
endif()
message(STATUS "compare_icons: all ${count} icon files match")
