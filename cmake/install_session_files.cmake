# Installs the files a desktop session reads: the autostart entry and the systemd user unit. Runs at
# install time, so that both follow the prefix given then (`cmake --install --prefix`, or /usr for cpack);
# expects VELMOR_SOURCE_DIR, VELMOR_BINARY_DIR and VELMOR_BINDIR.

# Like GNUInstallDirs: a system package keeps its configuration in /etc, any other prefix in PREFIX/etc.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(velmor_sysconfdir "/etc")
else()
    set(velmor_sysconfdir "${CMAKE_INSTALL_PREFIX}/etc")
endif()

# The unit names the program by its installed path. Installs into different prefixes may run at once
# (the tests do), so each prefix has its own copy.
set(VELMOR_PROGRAM "${CMAKE_INSTALL_PREFIX}/${VELMOR_BINDIR}/velmor")
string(MD5 velmor_prefix_hash "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(velmor_unit "${VELMOR_BINARY_DIR}/session_files/${velmor_prefix_hash}/velmor.service")
configure_file("${VELMOR_SOURCE_DIR}/resources/velmor.service.in" "${velmor_unit}" @ONLY)

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/user" TYPE FILE FILES "${velmor_unit}")
file(INSTALL DESTINATION "${velmor_sysconfdir}/xdg/autostart" TYPE FILE RENAME velmor.desktop
     FILES "${VELMOR_SOURCE_DIR}/resources/velmor-autostart.desktop")
