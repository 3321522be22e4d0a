# The release zip: the program and README.txt, nothing else. The same inputs give the same
# bytes wherever and whenever it is made: the entries in a fixed order, with fixed times and
# permissions, and README.txt with Windows line endings (the repository keeps Unix ones).
#
#   cmake -DPROGRAM=<exe> -DREADME=<README.txt> -DZIP=<out.zip> -P release_zip.cmake
#
# With -DCHECK=<scratch folder> it makes the zip twice there instead, the second time a
# second later, in another folder and from fresh copies of the inputs, and fails unless both
# are byte for byte the same and hold exactly the program (unchanged) and README.txt.
cmake_minimum_required(VERSION 3.25)

foreach(variable PROGRAM README)
  if(NOT EXISTS "${${variable}}")
    message(FATAL_ERROR "release_zip: ${variable} (${${variable}}) does not exist")
  endif()
endforeach()
get_filename_component(program_name "${PROGRAM}" NAME)

function(make_release_zip program readme zip)
  set(contents "${zip}.contents")
  file(REMOVE_RECURSE "${contents}")
  file(REMOVE "${zip}")
  file(MAKE_DIRECTORY "${contents}")

  file(COPY_FILE "${program}" "${contents}/${program_name}")
  file(READ "${readme}" text)  # drops the CR of a CR LF: a checkout with either gives the same
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${contents}/README.txt" "${text}")
  file(CHMOD "${contents}/${program_name}" FILE_PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  file(CHMOD "${contents}/README.txt" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  file(WRITE "${contents}.txt" "${program_name}\nREADME.txt\n")

  # With SOURCE_DATE_EPOCH, cmake -E tar gives every entry that time as its modification,
  # access and change time (--mtime would set the first only). The zip's DOS times are local
  # times, hence UTC.
  set(ENV{SOURCE_DATE_EPOCH} 1704067200)  # 2024-01-01 00:00:00 UTC
  set(ENV{TZ} UTC)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip "--files-from=${contents}.txt"
                  WORKING_DIRECTORY "${contents}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "release_zip: could not write ${zip}")
  endif()
endfunction()

if(NOT DEFINED CHECK)
  make_release_zip("${PROGRAM}" "${README}" "${ZIP}")
  return()
endif()

file(REMOVE_RECURSE "${CHECK}")
make_release_zip("${PROGRAM}" "${README}" "${CHECK}/one/release.zip")
execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 1)
file(COPY "${PROGRAM}" "${README}" DESTINATION "${CHECK}/inputs" NO_SOURCE_PERMISSIONS)
make_release_zip("${CHECK}/inputs/${program_name}" "${CHECK}/inputs/README.txt" "${CHECK}/two/release.zip")

execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${CHECK}/one/release.zip" "${CHECK}/two/release.zip"
                RESULT_VARIABLE differ)
if(differ)
  message(FATAL_ERROR "release_zip: two zips of the same inputs differ")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${CHECK}/one/release.zip"
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT listing STREQUAL "${program_name}\nREADME.txt\n")
  message(FATAL_ERROR "release_zip: the zip holds\n${listing}\ninstead of ${program_name} and README.txt")
endif()

file(MAKE_DIRECTORY "${CHECK}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${CHECK}/one/release.zip"
                WORKING_DIRECTORY "${CHECK}/unpacked" RESULT_VARIABLE status)
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${PROGRAM}" "${CHECK}/unpacked/${program_name}"
                RESULT_VARIABLE differ)
# Read as bytes ("0d 0a " for CR LF): file(READ) would drop the CRs.
file(READ "${CHECK}/unpacked/README.txt" bytes HEX)
string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
string(REPLACE "0d 0a " "" without_crlf "${bytes}")
if(NOT status EQUAL 0 OR differ OR without_crlf STREQUAL bytes OR without_crlf MATCHES "(^| )0a ")
  message(FATAL_ERROR "release_zip: the zipped program differs from ${PROGRAM}, "
                      "or README.txt does not end every line with CR LF")
endif()
message(STATUS "release_zip: ${program_name} and README.txt, the same bytes twice")
