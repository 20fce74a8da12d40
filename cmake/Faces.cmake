# The Japanese font files the editions carry: built in as subsets (browser)
# or shipped whole beside the program (Windows). Each is found where the
# system keeps it; the subset takes the family name after "=".
# The program maps the screens' faces onto these files and names through the
# table mimoran_write_face_table() writes.
set(MIMORAN_FACES
  "ipagp.ttf=Mimoran PGothic"
  "ipag.ttf=Mimoran Gothic"
  "ipam.ttf=Mimoran Mincho"
  "ipamp.ttf=Mimoran PMincho"
  "MTLmr3m.ttf=Mimoran Maru"
)
# The program's own table of them (src/platform/Fonts.cpp reads it).
function(mimoran_write_face_table header)
  set(rows "")
  foreach(face IN LISTS MIMORAN_FACES)
    string(REGEX REPLACE "=.*" "" file "${face}")
    string(REGEX REPLACE "^[^=]*=" "" family "${face}")
    string(APPEND rows "    {\"${file}\", \"${family}\"},\n")
  endforeach()
  file(CONFIGURE OUTPUT ${header} CONTENT "// Written by cmake/Faces.cmake from its list of font files.
#pragma once

namespace platform {

struct FaceFile {
    const char *file;         // as shipped beside the Windows program
    const char *subsetFamily; // the browser edition's built-in subset
};

inline constexpr FaceFile FaceFiles[] = {
${rows}};

} // namespace platform
")
endfunction()

# Where the system keeps each file (only the editions that carry them ask).
function(mimoran_find_faces)
set(MIMORAN_FACE_FILES)
foreach(face IN LISTS MIMORAN_FACES)
  string(REGEX REPLACE "=.*" "" file "${face}")
  string(MAKE_C_IDENTIFIER "${file}" var)
  find_file(MIMORAN_FONT_${var} ${file}
    PATHS /usr/share/fonts /usr/local/share/fonts $ENV{HOME}/.local/share/fonts
    PATH_SUFFIXES opentype/ipafont-gothic opentype/ipafont-mincho truetype/motoya-l-maruberi
                  opentype/ipafont truetype/ipafont truetype
    NO_CMAKE_FIND_ROOT_PATH)
  if(NOT MIMORAN_FONT_${var})
    message(FATAL_ERROR "Font ${file} not found (Debian: fonts-ipafont, fonts-motoya-l-maruberi); "
                        "set MIMORAN_FONT_${var} to its path")
  endif()
  list(APPEND MIMORAN_FACE_FILES "${MIMORAN_FONT_${var}}")
endforeach()
set(MIMORAN_FACE_FILES ${MIMORAN_FACE_FILES} PARENT_SCOPE)

# Qt's own texts in Japanese, from the host's Qt (a cross-built Qt has none).
find_program(MIMORAN_QTPATHS NAMES qtpaths6 qtpaths PATHS /usr/lib/qt6/bin NO_CMAKE_FIND_ROOT_PATH)
set(qm_hint)
if(MIMORAN_QTPATHS)
  execute_process(COMMAND ${MIMORAN_QTPATHS} --query QT_INSTALL_TRANSLATIONS
                  OUTPUT_VARIABLE qm_hint OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
find_file(MIMORAN_QT_TRANSLATION qtbase_ja.qm
  PATHS ${qm_hint} /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH
  DOC "Qt's Japanese texts")
if(NOT MIMORAN_QT_TRANSLATION)
  message(FATAL_ERROR "qtbase_ja.qm not found (Debian: qt6-translations-l10n); set MIMORAN_QT_TRANSLATION")
endif()
endfunction()
