# Man pages, the Debian documentation files and the .deb:
#   cmake --build build && (cd build && cpack -G DEB)
# The binaries, the .desktop file and the icon are installed where they are built.
include(GNUInstallDirs)

# Debian wants the installed tree to be 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(navorel_maintainer "Navorel developers <support@navorel.example.org>")
set(navorel_packaging_dir ${CMAKE_BINARY_DIR}/packaging)
string(TIMESTAMP navorel_changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in ${navorel_packaging_dir}/changelog @ONLY)

# Man pages and the changelog go in compressed with gzip -9n, as Debian policy asks.
set(navorel_gzipped)
foreach(source
    ${PROJECT_SOURCE_DIR}/docs/man/navorel.1
    ${PROJECT_SOURCE_DIR}/docs/man/navorel-filter.1
    ${PROJECT_SOURCE_DIR}/docs/man/navorel-record.1
    ${navorel_packaging_dir}/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${navorel_packaging_dir}/${name}.gz
    COMMAND gzip -9nc ${source} > ${navorel_packaging_dir}/${name}.gz
    DEPENDS ${source} VERBATIM)
  list(APPEND navorel_gzipped ${navorel_packaging_dir}/${name}.gz)
endforeach()
add_custom_target(navorel_packaging_files ALL DEPENDS ${navorel_gzipped})

install(FILES ${navorel_packaging_dir}/navorel.1.gz ${navorel_packaging_dir}/navorel-filter.1.gz
  ${navorel_packaging_dir}/navorel-record.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${navorel_packaging_dir}/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/debian-copyright
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/navorel)
# CMake has no rename on install; the Debian name of the file is "copyright".
install(CODE "file(RENAME \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/doc/navorel/debian-copyright\"
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATAROOTDIR}/doc/navorel/copyright\")")

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
navorel-filter runs the same filter on the command line.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://navorel.example.org")
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
