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
  # The worksheet suite reads its PDF back with poppler's Linux tools, which
  # wine starts like any program once they carry a Windows name.
  set(poppler_dir ${CMAKE_BINARY_DIR}/tests/poppler)
  file(MAKE_DIRECTORY ${poppler_dir})
  foreach(tool pdfinfo pdffonts pdftotext)
    find_program(MIMORAN_${tool} ${tool} REQUIRED)
    file(CREATE_LINK ${MIMORAN_${tool}} ${poppler_dir}/${tool}.exe SYMBOLIC)
  endforeach()
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
