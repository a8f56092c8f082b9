# Runs the picture-writing controls suite from an empty folder and fails when
# anything appears there: the suite must write below its build folder even
# when a person starts it from another folder, say the source tree.
# Arguments: SUITE (the test binary), FOLDER (the start folder to use).
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
execute_process(COMMAND "${SUITE}" --gtest_filter=ControlsGallery.* WORKING_DIRECTORY "${FOLDER}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the gallery failed: ${result}")
endif()
file(GLOB left "${FOLDER}/*")
file(REMOVE_RECURSE "${FOLDER}")
if(left)
  message(FATAL_ERROR "the gallery wrote into the folder it was started from: ${left}")
endif()
