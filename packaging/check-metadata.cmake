# The .desktop entry, the metainfo and the icon refer to each other by name,
# and the metainfo must describe the version being built. The validators only
# look at one file at a time, so they miss a rename or a forgotten release entry.
file(READ "${METAINFO_FILE}" metainfo)
file(READ "${DESKTOP_FILE}" desktop)

set(failures "")
macro(expect actual expected what)
  if(NOT "${actual}" STREQUAL "${expected}")
    string(APPEND failures "\n  ${what} is '${actual}', expected '${expected}'")
  endif()
endmacro()

string(REGEX MATCH "<id>([^<]*)</id>" _ "${metainfo}")
expect("${CMAKE_MATCH_1}" "${APP_ID}" "metainfo <id>")

string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" _ "${metainfo}")
expect("${CMAKE_MATCH_1}" "${APP_ID}.desktop" "metainfo launchable")

string(REGEX MATCH "<binary>([^<]*)</binary>" _ "${metainfo}")
expect("${CMAKE_MATCH_1}" "mimoran" "metainfo provided binary")

string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo}")
expect("${CMAKE_MATCH_1}" "${VERSION}" "newest metainfo release")

# appstreamcli only mentions a missing rating, but software centres' parental
# controls go by it, and this program is for children.
string(REGEX MATCH "<content_rating type=\"(oars-[0-9.]+)\"" _ "${metainfo}")
if(NOT CMAKE_MATCH_1)
  string(APPEND failures "\n  metainfo has no OARS <content_rating>")
endif()

string(REGEX MATCH "\nIcon=([^\n]*)" _ "${desktop}")
expect("${CMAKE_MATCH_1}" "${APP_ID}" "desktop Icon=")

string(REGEX MATCH "\nExec=([^ \n]*)" _ "${desktop}")
expect("${CMAKE_MATCH_1}" "mimoran" "desktop Exec= command")

if(failures)
  message(FATAL_ERROR "desktop metadata is inconsistent:${failures}")
endif()
message(STATUS "metainfo, .desktop and icon agree on ${APP_ID}, release ${VERSION}")
