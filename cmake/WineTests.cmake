# Cross-built Windows tests run under wine (CMAKE_CROSSCOMPILING_EMULATOR).
# Wine hands the program no QT_* variable of the Unix side, only WINEQT_*
# ones, renamed to QT_*; it needs the DLL folders on WINEPATH and a prefix of
# its own, so tests never touch the user's ~/.wine. Call it at the end of the
# folder whose tests it adjusts. The suites see no system font at all, as on a
# Windows without Japanese faces: what they draw comes from the faces shipped
# beside them (tests/fonts), which the program loads for missing faces.
function(mimoran_tests_under_wine)
  set(MIMORAN_NO_SYSTEM_FONTS ${CMAKE_BINARY_DIR}/tests/no-system-fonts)
  file(MAKE_DIRECTORY ${MIMORAN_NO_SYSTEM_FONTS})
  set(dll_dirs ${Qt6_DIR}/../../../bin ${MIMORAN_RUNTIME_DIRS})
  set(winepath "")
  foreach(d IN LISTS dll_dirs)
    get_filename_component(d "${d}" ABSOLUTE)
    list(APPEND winepath "Z:${d}")
  endforeach()
  list(JOIN winepath "\\;" winepath)
  # Qt's Japanese texts: the cross-built Qt has no translations of its own, so
  # the suites' qt.conf points at the host's file, keeping Qt's own prefix.
  get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
  get_filename_component(qm_dir "${MIMORAN_QT_TRANSLATION}" DIRECTORY)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/qt.conf
       "[Paths]\nPrefix = Z:${qt_prefix}\nTranslations = Z:${qm_dir}\n")
  # The worksheet suite reads its PDF back with poppler's Linux tools. Wine
  # starts a Linux program for a Windows one once it has a Windows name, but
  # neither waits for it nor hands it Qt's pipes: this script runs the tool,
  # its output to a file, and then leaves a mark that it is done.
  set(poppler_dir ${CMAKE_BINARY_DIR}/tests/poppler)
  file(MAKE_DIRECTORY ${poppler_dir})
  set(script "#!/bin/sh\n# run.exe OUTPUT TOOL ARGS...: the tool's output in OUTPUT, then OUTPUT.done\n")
  string(APPEND script "out=$1\ntool=$2\nshift 2\ncase $tool in\n")
  foreach(tool pdfinfo pdffonts pdftotext pdftoppm)
    find_program(MIMORAN_${tool} ${tool} REQUIRED)
    string(APPEND script "  ${tool}) tool=${MIMORAN_${tool}} ;;\n")
  endforeach()
  # A tool not listed fails at once rather than at the suite's wait.
  string(APPEND script "  *) echo 2 > \"$out.done\"; exit 2 ;;\nesac\n\"$tool\" \"$@\" > \"$out\" 2>&1\necho $? > \"$out.done\"\n")
  file(WRITE ${poppler_dir}/run.exe "${script}")
  file(CHMOD ${poppler_dir}/run.exe PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} ENVIRONMENT env)
    set(added "")
    foreach(entry IN LISTS env)
      if(entry MATCHES "^QT_(.*)$")
        list(APPEND added "WINEQT_${CMAKE_MATCH_1}")
      endif()
    endforeach()
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      ${added}
      "WINEPATH=${winepath}"
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
      "WINEDEBUG=-all"
      "WINEQT_FORCE_STDERR_LOGGING=1"
      "WINEQT_QPA_FONTDIR=Z:${MIMORAN_NO_SYSTEM_FONTS}"
      "MIMORAN_POPPLER=Z:${poppler_dir}"
      "WINEDLLOVERRIDES=mscoree,mshtml=")
  endforeach()
endfunction()
