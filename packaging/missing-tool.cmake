# Stands in for a packaging test whose tool was not found at configure time.
message(FATAL_ERROR
  "${TOOL} was not found when the build was configured; "
  "install the Debian package '${DEBIAN_PACKAGE}' (make deps) and re-run cmake.")
