# Adds the generated files to the staged package tree and zips it.
# Generated content lands in EXTRA_DIR (driver binaries built by the
# Windows build) and is copied over the stage before packing.
if(EXISTS "${EXTRA_DIR}")
  file(COPY "${EXTRA_DIR}/" DESTINATION "${STAGE}")
endif()
file(GLOB top RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT top)
file(REMOVE "${OUTPUT}")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf "${OUTPUT}" --format=zip ${top}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zip failed: ${rc}")
endif()
