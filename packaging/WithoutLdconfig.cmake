# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack after it built the package (CPACK_POST_BUILD_SCRIPTS). CPack gives a package
# with a shared object under usr/lib/*/ maintainer scripts that only run ldconfig, and has
# no switch against that. Nookary's module is private (no SONAME, loaded by its path, not
# on the linker's path), so ldconfig has nothing to do for it: the package is built again
# without those scripts. A script that does anything else stops the build instead.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/without-ldconfig")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(NOT EXISTS "${path}")
      continue()
    endif()
    file(READ "${path}" text)
    string(REGEX REPLACE
      "#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi" ""
      rest "${text}")
    string(STRIP "${rest}" rest)
    if(rest)
      message(FATAL_ERROR "${script} does more than run ldconfig:\n${text}")
    endif()
    file(REMOVE "${path}")
  endforeach()
  execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
