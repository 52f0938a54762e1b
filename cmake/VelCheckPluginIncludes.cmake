# cmake -DSOURCE_DIR=<tree> [-DSTANDIN_DIR=<dir>] [-DPLUGIN_DIRS=a;b] -P VelCheckPluginIncludes.cmake
#
# Fails when a source of the plugin includes a header that exists only among
# the desktop stand-ins: the plugin must build against a device's NDK, which
# has the stand-ins' <android/...> headers under the same names and nothing
# else of theirs.
cmake_minimum_required(VERSION 3.20)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
if(NOT STANDIN_DIR)
  set(STANDIN_DIR ${SOURCE_DIR}/android-standins)
endif()
if(NOT PLUGIN_DIRS)
  set(PLUGIN_DIRS src eglfs eglconvenience gui fontdatabases eventdispatch)
endif()

# Every header of the stand-ins except the NDK's own.
file(GLOB_RECURSE standin_headers RELATIVE ${STANDIN_DIR} ${STANDIN_DIR}/*.h ${STANDIN_DIR}/*.hpp)
set(standin_only)
foreach(header IN LISTS standin_headers)
  if(header MATCHES "^ndk/include/android/")
    continue()
  endif()
  get_filename_component(name ${header} NAME)
  list(APPEND standin_only ${name})
endforeach()
list(REMOVE_DUPLICATES standin_only)
if(NOT standin_only)
  message(FATAL_ERROR "no stand-in headers found under ${STANDIN_DIR}")
endif()

set(offences)
set(scanned 0)
foreach(dir IN LISTS PLUGIN_DIRS)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${dir}/*.c ${SOURCE_DIR}/${dir}/*.cpp
    ${SOURCE_DIR}/${dir}/*.cc ${SOURCE_DIR}/${dir}/*.h ${SOURCE_DIR}/${dir}/*.hpp)
  foreach(source IN LISTS sources)
    math(EXPR scanned "${scanned} + 1")
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"][^>\"]+[>\"]")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" included "${line}")
      get_filename_component(name "${included}" NAME)
      # <android/x.h> is the NDK's header even where the stand-ins provide it.
      if(included MATCHES "^android/")
        continue()
      endif()
      if(name IN_LIST standin_only)
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
        list(APPEND offences "${shown}: ${included}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(offences)
  list(JOIN offences "\n  " shown)
  message(FATAL_ERROR "plugin sources include desktop stand-in headers:\n  ${shown}")
endif()
message(STATUS "${scanned} plugin sources include only NDK headers of the stand-ins")
