# The .deb: cmake --build build && (cd build && cpack -G DEB)
# It holds what cmake/Install.cmake installs, plus Debian's copyright and a
# changelog stamped with the day of the build, which a plain `cmake --install`
# leaves out: they are of the package, not of the program.
set(navorel_maintainer "Navorel developers <support@navorel.example.org>")
set(navorel_packaging_dir ${CMAKE_BINARY_DIR}/packaging)
string(TIMESTAMP navorel_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in ${navorel_packaging_dir}/changelog @ONLY)
# Debian's name of the file is "copyright".
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-copyright ${navorel_packaging_dir}/copyright COPYONLY)

# The changelog goes in compressed with gzip -9n, as Debian policy asks.
add_custom_command(OUTPUT ${navorel_packaging_dir}/changelog.gz
  COMMAND gzip -9nc ${navorel_packaging_dir}/changelog > ${navorel_packaging_dir}/changelog.gz
  DEPENDS ${navorel_packaging_dir}/changelog VERBATIM)
add_custom_target(navorel_debian_files ALL DEPENDS ${navorel_packaging_dir}/changelog.gz)
install(FILES ${navorel_packaging_dir}/changelog.gz ${navorel_packaging_dir}/copyright
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/navorel COMPONENT debian EXCLUDE_FROM_ALL)
# Everything an install puts in place, and the Debian files beside it.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/" "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")

set(CPACK_PACKAGE_NAME navorel)
set(CPACK_PACKAGE_VENDOR "Navorel developers")
set(CPACK_PACKAGE_CONTACT ${navorel_maintainer})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "filter positions and satellites out of NMEA 0183 GPS logs")
set(CPACK_PACKAGE_DESCRIPTION
    "Navorel reads logs of GPS receivers in NMEA 0183 text, filters the position
sentences of one kind ($GPRMC or $GPGGA) and shows the mean position, the
time span, a scatter chart of every fix, a bar chart of the active
satellites per time range and a short report. It writes a semicolon-separated
result file, records a log live from a receiver on a serial port and replays
a log out of a serial port line by line.
.
navorel-filter runs the same filter on the command line; navorel-record
records a receiver without a window, also as a systemd service.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG support for the icons is a Qt plug-in, which the library scan cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
