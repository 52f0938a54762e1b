# vel_add_resources(<target> NAME <name> [PREFIX <prefix>] FILES <file or folder>...
#                   [BASE <dir>] [NO_COMPRESS])
#
# Compiles the files (paths relative to the current source folder; a folder
# stands for every file below it) with velrcc into a source that registers
# them as ":/" resources when the program or library loads, and links it into
# <target>. Names are relative to BASE (default: the current source folder),
# or to the folder itself for a folder; PREFIX (default "/") is put in front.
# The generated source also defines int velInitResources_<name>() and
# int velCleanupResources_<name>(); call the first from a static library's
# user, since a linker drops unreferenced objects of a static library.
#
# The generated source is compiled in an object library of the calling
# folder, so the call also works for a target made in another folder.
function(vel_add_resources target)
  cmake_parse_arguments(R "NO_COMPRESS" "NAME;PREFIX;BASE" "FILES" ${ARGN})
  if(NOT R_NAME OR NOT R_FILES)
    message(FATAL_ERROR "vel_add_resources: NAME and FILES are required")
  endif()
  if(NOT R_PREFIX)
    set(R_PREFIX /)
  endif()
  if(NOT R_BASE)
    set(R_BASE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  get_filename_component(R_BASE ${R_BASE} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})

  set(inputs "")
  set(depends "")
  foreach(file IN LISTS R_FILES)
    get_filename_component(abs ${file} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND inputs ${abs})
    if(IS_DIRECTORY ${abs})
      file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS ${abs}/*)
      list(APPEND depends ${folder_files})
    else()
      list(APPEND depends ${abs})
    endif()
  endforeach()

  set(flags "")
  if(R_NO_COMPRESS)
    set(flags --no-compress)
  endif()
  set(output ${CMAKE_CURRENT_BINARY_DIR}/velrcc_${R_NAME}.cpp)
  add_custom_command(
    OUTPUT ${output}
    COMMAND velrcc --name ${R_NAME} --output ${output} --prefix ${R_PREFIX} --base ${R_BASE}
            ${flags} ${inputs}
    DEPENDS velrcc ${depends}
    COMMENT "Compiling resources ${R_NAME}"
    VERBATIM)

  set(objects ${target}_resources_${R_NAME})
  add_library(${objects} OBJECT ${output})
  set_target_properties(${objects} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${target} PRIVATE ${objects})
endfunction()
