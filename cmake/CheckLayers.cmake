# SPDX-License-Identifier: GPL-3.0-or-later
# Fails the build when a source file includes a header of a layer it may not use.
# Run as: cmake -DSOURCE_DIR=<src> -DSTAMP=<file> -P CheckLayers.cmake
#
#   core/                       core
#   platform/ (interfaces)      core, platform interfaces
#   platform/PlatformFactory    core, platform (any folder): it picks the realisations
#   model/                      core, platform interfaces, model
#   platform/<folder>/          core, platform (any folder)
#   ui/                         core, platform interfaces, model, ui
#   app/                        everything
#
# X11, xcb and Wayland headers belong to the platform folders alone.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(failures "")
foreach(source IN LISTS sources)
  if(NOT source MATCHES "^platform/[^/]+/")
    file(STRINGS "${SOURCE_DIR}/${source}" system_includes REGEX "^#include <(xcb/|X11/|wayland-)")
    foreach(line IN LISTS system_includes)
      string(APPEND failures "  ${source}: ${line} (window-system headers stay in src/platform/<folder>/)\n")
    endforeach()
  endif()
  if(source MATCHES "^core/")
    set(allowed "^core/")
  elseif(source STREQUAL "platform/PlatformFactory.cpp")
    set(allowed "^(core/|platform/)")
  elseif(source MATCHES "^platform/[^/]+$")
    set(allowed "^(core/|platform/[^/]+$)")
  elseif(source MATCHES "^model/")
    set(allowed "^(core/|platform/[^/]+$|model/)")
  elseif(source MATCHES "^platform/")
    set(allowed "^(core/|platform/)")
  elseif(source MATCHES "^ui/")
    set(allowed "^(core/|platform/[^/]+$|model/|ui/)")
  else()
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^#include \"[^\"]+/[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
    if(NOT header MATCHES "${allowed}")
      string(APPEND failures "  ${source} includes ${header}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes against the layering (see docs/architecture.md):\n${failures}")
endif()
file(TOUCH "${STAMP}")
