# SPDX-License-Identifier: GPL-3.0-or-later
# The install layout from GNUInstallDirs, which a distribution sets (lib64, another libexec),
# and the same layout in the build tree. Each part finds the others by a path relative to its
# own folder, written into InstallLayout.h, so both trees and any prefix keep working.
#
# Sets nookary_bindir, nookary_moduledir (the running program's module),
# nookary_launcherdir, nookary_datadir, all relative to the prefix, and the target
# nookary_install_layout that gives the header.

include(GNUInstallDirs)
# Debian and most distributions name the documentation folder after the package, which is
# lower case, unless the builder chose one.
get_property(docdir CACHE CMAKE_INSTALL_DOCDIR PROPERTY VALUE)
if(NOT docdir)
  set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/nookary)
endif()

# A folder relative to the prefix; an absolute one must lie inside the prefix, since the
# parts find each other by relative paths.
function(nookary_prefix_relative out variable)
  set(path "${CMAKE_INSTALL_${variable}}")
  if(IS_ABSOLUTE "${path}")
    cmake_path(IS_PREFIX CMAKE_INSTALL_PREFIX "${path}" NORMALIZE inside)
    if(NOT inside)
      message(FATAL_ERROR "CMAKE_INSTALL_${variable} (${path}) lies outside CMAKE_INSTALL_PREFIX "
        "(${CMAKE_INSTALL_PREFIX}): Nookary's parts find each other by relative paths.")
    endif()
    file(RELATIVE_PATH path "${CMAKE_INSTALL_PREFIX}" "${path}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

nookary_prefix_relative(nookary_bindir BINDIR)
nookary_prefix_relative(nookary_libdir LIBDIR)
nookary_prefix_relative(nookary_libexecdir LIBEXECDIR)
nookary_prefix_relative(nookary_datadir DATADIR)
nookary_prefix_relative(nookary_mandir MANDIR)
nookary_prefix_relative(nookary_docdir DOCDIR)
set(nookary_moduledir ${nookary_libdir}/nookary)
set(nookary_launcherdir ${nookary_libexecdir}/nookary)

file(RELATIVE_PATH nookary_module_from_program /${nookary_bindir} /${nookary_moduledir}/nookary-gui.so)
file(RELATIVE_PATH nookary_launcher_from_program /${nookary_bindir} /${nookary_launcherdir}/NookaryLauncher)
file(RELATIVE_PATH nookary_program_from_launcher /${nookary_launcherdir} /${nookary_bindir}/Nookary)

configure_file(${CMAKE_CURRENT_LIST_DIR}/InstallLayout.h.in
  ${CMAKE_BINARY_DIR}/generated/InstallLayout.h @ONLY)
add_library(nookary_install_layout INTERFACE)
target_include_directories(nookary_install_layout INTERFACE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(nookary_install_layout INTERFACE Qt6::Core)
