# Run by CPack after it made the packages: puts the debug package (-dbgsym.ddeb) into
# the form of Debian's own. CPack 3.25 lists the debug files in its md5sums under the
# absolute paths of its staging folder, which dpkg cannot check; the debug files need no
# execute bit; and the package's documentation is that of celvio, by a symbolic link.
find_program(DPKG_DEB NAMES dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "-dbgsym_.*\\.ddeb$")
    continue()
  endif()
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/dbgsym-tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND "${DPKG_DEB}" -R "${package}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB_RECURSE debug_files RELATIVE "${tree}" "${tree}/usr/*")
  set(md5sums "")
  foreach(file IN LISTS debug_files)
    file(CHMOD "${tree}/${file}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    file(MD5 "${tree}/${file}" sum)
    string(APPEND md5sums "${sum}  ${file}\n")
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${md5sums}")
  file(MAKE_DIRECTORY "${tree}/usr/share/doc")
  file(CREATE_LINK celvio "${tree}/usr/share/doc/celvio-dbgsym" SYMBOLIC)
  execute_process(COMMAND "${DPKG_DEB}" --root-owner-group -Zxz -b "${tree}" "${package}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
