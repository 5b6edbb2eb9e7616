# Makes the release zip: a folder with the program and the user guide (the
# program carries its libraries, skins and pictures inside itself).
#   cmake -DPROGRAM=... -DGUIDE=... -DOUT_DIR=... -DVERSION=... -P package.cmake
set(name "青禾万年历")
set(stage "${OUT_DIR}/stage")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}/${name}")
file(COPY_FILE "${PROGRAM}" "${stage}/${name}/${name}.exe")

# The guide for Windows' text editors: a byte-order mark and CRLF line ends.
file(READ "${GUIDE}" guide)
string(REPLACE "\r\n" "\n" guide "${guide}")
string(REPLACE "\n" "\r\n" guide "${guide}")
string(ASCII 239 187 191 bom)
file(WRITE "${stage}/${name}/使用说明.txt" "${bom}${guide}")

set(zip "${OUT_DIR}/${name}-${VERSION}.zip")
file(REMOVE "${zip}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${zip}" --format=zip "${name}"
                WORKING_DIRECTORY "${stage}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "could not write ${zip}")
endif()
message(STATUS "release: ${zip}")
