# Resource-only DLLs: skins and the resource libraries that tests load. Built from an .rc file,
# the files it names and, for skins, INI texts that are checked first (text in another encoding
# would load as an empty skin although the load reports success).
#
# quilbrook_add_resource_library(<target> <.rc file> [OUTPUT <file>] [INI <files...>]
#                                [DEPENDS <files...>] [ENTRY <C source with a DllMain>])
# OUTPUT defaults to <target>.dll beside the programs. Every file of the .rc file's folder is an
# input. A resource library never carries code; ENTRY exists only for the test that proves
# skins are not run.
set(QUILBROOK_CHECK_INI_TEXT ${CMAKE_CURRENT_LIST_DIR}/checkinitext.cmake)

function(quilbrook_add_resource_library target rc)
  cmake_parse_arguments(RES "" "OUTPUT;ENTRY" "INI;DEPENDS" ${ARGN})
  if(NOT RES_OUTPUT)
    set(RES_OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${target}.dll)
  endif()
  get_filename_component(folder ${rc} DIRECTORY)
  file(GLOB folder_files CONFIGURE_DEPENDS ${folder}/*)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target})

  set(stamps)
  foreach(ini ${RES_INI})
    get_filename_component(name ${ini} NAME)
    set(stamp ${work}/${name}.checked)
    add_custom_command(OUTPUT ${stamp}
      COMMAND ${CMAKE_COMMAND} -DINI_FILE=${ini} -DSTAMP=${stamp} -P ${QUILBROOK_CHECK_INI_TEXT}
      DEPENDS ${ini} ${QUILBROOK_CHECK_INI_TEXT}
      COMMENT "Checking the encoding of ${name}" VERBATIM)
    list(APPEND stamps ${stamp})
  endforeach()
  add_custom_command(OUTPUT ${work}/resources.o
    COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
    COMMAND ${CMAKE_RC_COMPILER} --include-dir ${folder} ${rc} -O coff -o ${work}/resources.o
    DEPENDS ${rc} ${folder_files} ${RES_INI} ${RES_DEPENDS} ${stamps}
    WORKING_DIRECTORY ${folder}
    COMMENT "Compiling the resources of ${target}" VERBATIM)

  set(objects ${work}/resources.o)
  set(entry -Wl,-e,0)
  set(libraries)
  if(RES_ENTRY)
    add_custom_command(OUTPUT ${work}/entry.o
      COMMAND ${CMAKE_COMMAND} -E make_directory ${work}
      COMMAND ${CMAKE_C_COMPILER} -O2 -DUNICODE -c ${RES_ENTRY} -o ${work}/entry.o
      DEPENDS ${RES_ENTRY} VERBATIM)
    list(APPEND objects ${work}/entry.o)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(entry -Wl,-e,_DllMain@12)
    else()
      set(entry -Wl,-e,DllMain)
    endif()
    set(libraries -lkernel32)
  endif()
  add_custom_command(OUTPUT ${RES_OUTPUT}
    COMMAND ${CMAKE_C_COMPILER} -shared -nostdlib -nostartfiles ${entry}
            -o ${RES_OUTPUT} ${objects} ${libraries}
    DEPENDS ${objects}
    COMMENT "Linking ${RES_OUTPUT}" VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${RES_OUTPUT})
endfunction()
