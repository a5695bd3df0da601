# A Debian package of what `cmake --install` installs: `cpack -G DEB` in the build folder makes
# tablewright_<version>_<arch>.deb. It installs under /usr whatever CMAKE_INSTALL_PREFIX says;
# the link on the PATH is relative, so it holds under any prefix.
set(TW_PACKAGE_MAINTAINER "Tablewright maintainers" CACHE STRING "The Debian package's Maintainer field")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tablewright)
set(CPACK_PACKAGE_VENDOR Tablewright)
set(CPACK_PACKAGE_CONTACT "${TW_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "copy whole tables between an Oracle database and a SQL Anywhere data source")
set(CPACK_PACKAGE_DESCRIPTION "\
Tablewright lists the tables of an Oracle database and of a SQL Anywhere ODBC data source
side by side, copies selected tables either way, and deletes and renames tables. Its
command line does the same without a display. Both databases are reached over unixODBC.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Every install rule is in the default component; naming it makes the package's install write
# install_manifest_Unspecified.txt, leaving the list of a `cmake --install` (the README's
# uninstall) as it was.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
# Debian ships programs stripped; the build folder keeps the one with debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links (Qt, unixODBC's libodbc) come from dpkg-shlibdeps; the
# driver manager's tools and configuration are what the README's ODBC set-up uses.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS unixodbc)
# The windows are laid out for Arial's metrics, which Liberation Sans has.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
# The ODBC drivers of PostgreSQL and SQLite, which the demo uses in place of Oracle and SQL Anywhere.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "odbc-postgresql, libsqliteodbc")

include(CPack)
