# Runs before the smoke runs: fresh seed corpora from make_seeds, and empty folders for the corpora the
# runs grow (libFuzzer writes new inputs into the first folder it is given).
file(REMOVE_RECURSE ${SEEDS} ${WORK})
execute_process(COMMAND ${MAKE_SEEDS} ${SEEDS} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "make_seeds failed: ${result}")
endif()
foreach(format ${FORMATS})
    file(MAKE_DIRECTORY ${WORK}/${format})
endforeach()
