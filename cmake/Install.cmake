# What `cmake --install` puts in place, whatever is built: each program with
# its man page and bash completion; with the desktop program its .desktop
# file, icon, AppStream metainfo and the MIME type of NMEA logs; with
# navorel-record its systemd template unit and an example of its settings.
# Debian's copyright and changelog go into the .deb only (cmake/Packaging.cmake).
include(GNUInstallDirs)

# Debian wants the installed tree to be 0755 whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# systemd reads units in lib/systemd/system under /usr and /usr/local alike.
set(NAVOREL_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING
    "Where the systemd unit is installed, below the prefix unless absolute")
set(navorel_doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/navorel)
set(navorel_data_dir ${PROJECT_SOURCE_DIR}/data)

# A program, its man page (compressed with gzip -9n, as Debian policy asks)
# and its bash completion when it has one.
function(navorel_install_program program)
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${PROJECT_SOURCE_DIR}/docs/man/${program}.1)
  set(gzipped ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9nc ${page} > ${gzipped}
    DEPENDS ${page} VERBATIM)
  add_custom_target(${program}_man_page ALL DEPENDS ${gzipped})
  install(FILES ${gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  if(EXISTS ${navorel_data_dir}/completions/${program})
    install(FILES ${navorel_data_dir}/completions/${program}
      DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  endif()
endfunction()

navorel_install_program(navorel-filter)

if(TARGET navorel-record)
  navorel_install_program(navorel-record)
  # A template, not enabled: systemctl enable --now navorel-record@NAME.
  install(FILES ${navorel_data_dir}/systemd/navorel-record@.service DESTINATION ${NAVOREL_SYSTEMD_UNIT_DIR})
  install(FILES ${navorel_data_dir}/systemd/record-example.conf DESTINATION ${navorel_doc_dir}/examples)
endif()

if(TARGET navorel)
  navorel_install_program(navorel)
  set(navorel_app_id io.github.navorel.Navorel)
  install(FILES ${navorel_data_dir}/${navorel_app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES resources/navorel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The release of this build: the version of project(), the day of the build.
  string(TIMESTAMP navorel_release_date "%Y-%m-%d" UTC)
  configure_file(${navorel_data_dir}/${navorel_app_id}.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/data/${navorel_app_id}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/data/${navorel_app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The MIME database's own trigger (or update-mime-database) takes it in.
  install(FILES ${navorel_data_dir}/navorel.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
