# Fails when a Windows executable imports a DLL outside an allow-list (compared without regard
# to case, as Windows loads them).
#   cmake -DOBJDUMP=<objdump> -DEXECUTABLE=<exe> -DALLOWED=a.dll,b.dll -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)

foreach(variable OBJDUMP EXECUTABLE ALLOWED)
  if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
    message(FATAL_ERROR "check_imports: ${variable} is not set")
  endif()
endforeach()

execute_process(COMMAND "${OBJDUMP}" -p "${EXECUTABLE}"
                OUTPUT_VARIABLE dump ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "check_imports: ${OBJDUMP} -p failed (${status}): ${errors}")
endif()

string(TOLOWER "${ALLOWED}" allowed)
string(REPLACE "," ";" allowed "${allowed}")

string(REGEX MATCHALL "DLL Name:[^\r\n]*" lines "${dump}")
if(NOT lines)
  # An executable always imports at least KERNEL32; no line at all means the dump was not read.
  message(FATAL_ERROR "check_imports: no \"DLL Name:\" line in the output of ${OBJDUMP} -p")
endif()

set(imported "")
set(refused "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name:[ \t]*" "" dll "${line}")
  string(STRIP "${dll}" dll)
  list(APPEND imported "${dll}")
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST allowed)
    list(APPEND refused "${dll}")
  endif()
endforeach()

if(refused)
  message(FATAL_ERROR "check_imports: ${EXECUTABLE} imports DLLs that do not ship with Windows: ${refused} "
                      "(all imports: ${imported})")
endif()
message(STATUS "check_imports: imports ${imported}")
