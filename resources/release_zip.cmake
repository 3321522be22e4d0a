# The release zip: the program, README.txt and LICENSE.txt, nothing else, and beside it the
# zip's SHA-256 (<zip>.sha256, in the form sha256sum -c reads). The same inputs give the same
# bytes wherever and whenever it is made: the entries in a fixed order, with fixed times and
# permissions, and both texts with Windows line endings (the repository keeps Unix ones).
#
#   cmake -DPROGRAM=<exe> -DREADME=<README.txt> -DLICENSE=<LICENSE> -DZIP=<out.zip> -P release_zip.cmake
#
# With -DCHECK=<scratch folder> it makes the zip twice there instead, the second time two
# seconds later (a zip's times have a resolution of two seconds), in another folder and from fresh copies of the inputs, and fails unless both
# zips and both checksum files are byte for byte the same, the checksum is the zip's, and the
# zip holds exactly the program (unchanged), README.txt and LICENSE.txt.
cmake_minimum_required(VERSION 3.25)

foreach(variable PROGRAM README LICENSE)
  if(NOT EXISTS "${${variable}}")
    message(FATAL_ERROR "release_zip: ${variable} (${${variable}}) does not exist")
  endif()
endforeach()
get_filename_component(program_name "${PROGRAM}" NAME)
set(entries "${program_name}" README.txt LICENSE.txt)

# A text file with CR LF line endings, readable by Notepad on any Windows.
function(write_windows_text source destination)
  file(READ "${source}" text)  # drops the CR of a CR LF: a checkout with either gives the same
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${destination}" "${text}")
  file(CHMOD "${destination}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

function(make_release_zip program readme license zip)
  set(contents "${zip}.contents")
  file(REMOVE_RECURSE "${contents}")
  file(REMOVE "${zip}" "${zip}.sha256")
  file(MAKE_DIRECTORY "${contents}")

  file(COPY_FILE "${program}" "${contents}/${program_name}")
  file(CHMOD "${contents}/${program_name}" FILE_PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  write_windows_text("${readme}" "${contents}/README.txt")
  write_windows_text("${license}" "${contents}/LICENSE.txt")
  list(JOIN entries "\n" listing)
  file(WRITE "${contents}.txt" "${listing}\n")

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

  file(SHA256 "${zip}" hash)
  get_filename_component(zip_name "${zip}" NAME)
  file(WRITE "${zip}.sha256" "${hash}  ${zip_name}\n")
endfunction()

if(NOT DEFINED CHECK)
  make_release_zip("${PROGRAM}" "${README}" "${LICENSE}" "${ZIP}")
  return()
endif()

file(REMOVE_RECURSE "${CHECK}")
make_release_zip("${PROGRAM}" "${README}" "${LICENSE}" "${CHECK}/one/release.zip")
execute_process(COMMAND "${CMAKE_COMMAND}" -E sleep 2)
file(COPY "${PROGRAM}" "${README}" "${LICENSE}" DESTINATION "${CHECK}/inputs" NO_SOURCE_PERMISSIONS)
get_filename_component(readme_name "${README}" NAME)
get_filename_component(license_name "${LICENSE}" NAME)
make_release_zip("${CHECK}/inputs/${program_name}" "${CHECK}/inputs/${readme_name}"
                 "${CHECK}/inputs/${license_name}" "${CHECK}/two/release.zip")

foreach(made release.zip release.zip.sha256)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${CHECK}/one/${made}" "${CHECK}/two/${made}"
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "release_zip: two builds of ${made} from the same inputs differ")
  endif()
endforeach()

file(SHA256 "${CHECK}/one/release.zip" hash)
file(READ "${CHECK}/one/release.zip.sha256" checksum)
if(NOT checksum STREQUAL "${hash}  release.zip\n")
  message(FATAL_ERROR "release_zip: release.zip.sha256 holds '${checksum}', not the zip's SHA-256 ${hash}")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${CHECK}/one/release.zip"
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
list(JOIN entries "\n" expected)
if(NOT status EQUAL 0 OR NOT listing STREQUAL "${expected}\n")
  message(FATAL_ERROR "release_zip: the zip holds\n${listing}\ninstead of\n${expected}")
endif()

file(MAKE_DIRECTORY "${CHECK}/unpacked")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${CHECK}/one/release.zip"
                WORKING_DIRECTORY "${CHECK}/unpacked" RESULT_VARIABLE status)
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${PROGRAM}" "${CHECK}/unpacked/${program_name}"
                RESULT_VARIABLE differ)
if(NOT status EQUAL 0 OR differ)
  message(FATAL_ERROR "release_zip: the zipped program differs from ${PROGRAM}")
endif()
foreach(text README.txt LICENSE.txt)
  # Read as bytes ("0d 0a " for CR LF): file(READ) would drop the CRs.
  file(READ "${CHECK}/unpacked/${text}" bytes HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${bytes}")
  string(REPLACE "0d 0a " "" without_crlf "${bytes}")
  if(without_crlf STREQUAL bytes OR without_crlf MATCHES "(^| )0a ")
    message(FATAL_ERROR "release_zip: ${text} does not end every line with CR LF")
  endif()
endforeach()
message(STATUS "release_zip: ${program_name}, README.txt and LICENSE.txt, the same bytes twice, with their SHA-256")
