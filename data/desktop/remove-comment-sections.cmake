# Run by CPack on the staged package, before it strips the programs into the debug
# package: removes the compilers' version notes (.comment), which only say which
# compiler built each object, as Debian's own packaging does.
find_program(OBJCOPY NAMES objcopy REQUIRED)
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*" "${CPACK_TEMPORARY_DIRECTORY}/usr/libexec/celvio/*")
foreach(program IN LISTS programs)
  file(READ "${program}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")  # an ELF file, not the start script
    execute_process(COMMAND "${OBJCOPY}" --remove-section=.comment "${program}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
