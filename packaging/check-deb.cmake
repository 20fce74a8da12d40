# Builds the Debian package into WORK_DIR and checks what a user's apt would
# see: the dependencies that make the program start and show Japanese text,
# and the files the desktop needs to list it.
if(NOT DPKG_DEB)
  message(FATAL_ERROR "dpkg-deb was not found when the build was configured; "
                      "install the Debian package 'dpkg' and re-run cmake.")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(
  COMMAND "${CPACK_COMMAND}" --config "${CPACK_CONFIG}" -G DEB -B "${WORK_DIR}"
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed (${rc}):\n${out}")
endif()

file(GLOB debs "${WORK_DIR}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK_DIR}, found ${count}: ${debs}\n${out}")
endif()
message(STATUS "built ${debs}")

set(failures "")

function(control_field name out_var)
  execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" ${name}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE value ERROR_VARIABLE err
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -f ${name} failed: ${err}")
  endif()
  set(${out_var} "${value}" PARENT_SCOPE)
endfunction()

control_field(Package package)
control_field(Version version)
control_field(Section section)
control_field(Maintainer maintainer)
control_field(Depends depends)
message(STATUS "Depends: ${depends}")

if(NOT package STREQUAL PACKAGE_NAME)
  string(APPEND failures "\n  Package is '${package}', expected '${PACKAGE_NAME}'")
endif()
if(NOT version MATCHES "^${VERSION}(-|$)")
  string(APPEND failures "\n  Version is '${version}', expected ${VERSION}")
endif()
if(NOT section STREQUAL "education")
  string(APPEND failures "\n  Section is '${section}', expected 'education'")
endif()
if(NOT maintainer MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
  string(APPEND failures "\n  Maintainer '${maintainer}' is not 'Name <address>'")
endif()

# Whole package names only: "fonts-ipafont" must not be satisfied by
# "fonts-ipafont-gothic", nor "libqt6gui6" by "libqt6gui6-gles".
foreach(dep IN ITEMS libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins
                     libqt6sql6-sqlite qt6-translations-l10n fonts-ipafont fonts-motoya-l-maruberi
                     fonts-noto-cjk)
  if(NOT depends MATCHES "(^|[,|] *)${dep}( *[(,|]|$)")
    string(APPEND failures "\n  Depends lacks ${dep}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" -c "${debs}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE listing ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed: ${err}")
endif()

foreach(path IN ITEMS
    "usr/share/applications/${APP_ID}.desktop"
    "usr/share/metainfo/${APP_ID}.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/${APP_ID}.svg")
  string(REPLACE "." "\\." pattern "${path}")
  if(NOT listing MATCHES "(^|\n)-[^\n]* \\./${pattern}\n")
    string(APPEND failures "\n  package lacks /${path}")
  endif()
endforeach()
# The program must be there as an executable regular file.
if(NOT listing MATCHES "(^|\n)-rwxr-xr-x [^\n]* \\./usr/bin/mimoran\n")
  string(APPEND failures "\n  package lacks an executable /usr/bin/mimoran")
endif()

if(failures)
  message(FATAL_ERROR "${debs}:${failures}\n\ncontents:\n${listing}")
endif()
message(STATUS "${debs}: control fields and contents as expected")
