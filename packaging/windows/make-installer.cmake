# Builds the installer and the portable zip from the staged program folder.
# -DSTAGE=... -DWORK=... -DVERSION=... -DNSI=... -DSETUP=... -DZIP=... -DMAKENSIS=...
# -DSTRIP=...

# The DLLs come with their symbols (the runtime's alone are 24 MB of them);
# a child's computer needs none.
file(GLOB_RECURSE binaries "${STAGE}/*.dll" "${STAGE}/*.exe")
foreach(b IN LISTS binaries)
  execute_process(COMMAND "${STRIP}" --strip-unneeded "${b}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not strip ${b}")
  endif()
endforeach()
file(GLOB_RECURSE files RELATIVE "${STAGE}" "${STAGE}/*")
list(SORT files)
set(install_lines "")
set(uninstall_lines "")
set(dirs "")
foreach(f IN LISTS files)
  get_filename_component(dir "${f}" DIRECTORY)
  string(REPLACE "/" "\\" wdir "${dir}")
  string(REPLACE "/" "\\" wf "${f}")
  if(dir STREQUAL "")
    string(APPEND install_lines "SetOutPath \"$INSTDIR\"\nFile \"${STAGE}/${f}\"\n")
  else()
    string(APPEND install_lines "SetOutPath \"$INSTDIR\\${wdir}\"\nFile \"${STAGE}/${f}\"\n")
    # Every parent folder, deepest first, for the uninstaller.
    set(d "${dir}")
    while(NOT d STREQUAL "")
      list(APPEND dirs "${d}")
      get_filename_component(d "${d}" DIRECTORY)
    endwhile()
  endif()
  string(APPEND uninstall_lines "Delete \"$INSTDIR\\${wf}\"\n")
endforeach()
list(REMOVE_DUPLICATES dirs)
list(SORT dirs ORDER DESCENDING)
foreach(d IN LISTS dirs)
  string(REPLACE "/" "\\" wd "${d}")
  string(APPEND uninstall_lines "RMDir \"$INSTDIR\\${wd}\"\n")
endforeach()
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/files.nsh" "${install_lines}SetOutPath \"$INSTDIR\"\n")
file(WRITE "${WORK}/uninstall-files.nsh" "${uninstall_lines}")

execute_process(
  COMMAND "${MAKENSIS}" -V2 -INPUTCHARSET UTF8 "-DVERSION=${VERSION}" "-DSTAGE=${STAGE}"
          "-DOUTFILE=${SETUP}" "-DLISTS=${WORK}" "${NSI}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "makensis failed")
endif()

# The portable zip: the same folder, to unpack and run anywhere.
get_filename_component(zipname "${ZIP}" NAME_WE)
file(REMOVE "${ZIP}")
file(REMOVE_RECURSE "${WORK}/zip")
file(MAKE_DIRECTORY "${WORK}/zip")
file(COPY "${STAGE}/" DESTINATION "${WORK}/zip/Mimoran")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip Mimoran
                WORKING_DIRECTORY "${WORK}/zip" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "zip failed")
endif()
