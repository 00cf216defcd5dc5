# Run by CPack on the staged tree before packing: removes the compiler's identification (.comment) and the .note
# section from the stripped programs, as Debian's own packaging tools do.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${CPACK_DANCEENTRY_BINDIR}/*")
foreach(program ${programs})
    execute_process(COMMAND ${CPACK_DANCEENTRY_STRIP} --remove-section=.comment --remove-section=.note ${program}
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
