# `cpack -G DEB` in the build tree: a Debian package of the program's install component, laid out
# under /usr (the autostart entry under /etc), with Depends worked out from the binary by
# dpkg-shlibdeps (dpkg-dev).
set(CPACK_PACKAGE_NAME velmor)
set(CPACK_PACKAGE_VENDOR "The Velmor project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop bridge between a home-automation controller, MPD and caller ID")
# Package tools show the long description's lines as they stand: each stays under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Velmor relays a home-automation controller's messages to a Music\n"
       "Player Daemon as jukebox commands, reports each track that starts\n"
       "playing back to the controller and into a now-playing file, and\n"
       "passes on caller-ID events from an NCID server. Its window shows the\n"
       "traffic and offers manual jukebox controls. The controller is reached\n"
       "over the D-Bus session bus.")
set(CPACK_PACKAGE_CONTACT "Velmor maintainers <velmor@example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened only when first called (platform/mqtt/mosquitto_on_demand.cpp), so dpkg-shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libmosquitto1)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

# Only the program's own files: the peer stand-ins are for tests and the demo.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};velmor;/")

# A Debian package carries its own changelog; this one says which upstream version it packs.
string(TIMESTAMP velmor_package_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${PROJECT_BINARY_DIR}/debian/changelog.Debian
     "velmor (${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}) unstable; urgency=medium\n\n"
     "  * Velmor ${PROJECT_VERSION}, packaged from its build tree with cpack.\n\n"
     " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${velmor_package_date}\n")
execute_process(COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/debian/changelog.Debian COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velmor
        COMPONENT velmor)

# A file under /etc is the administrator's: an upgrade must not overwrite their edit.
file(WRITE ${PROJECT_BINARY_DIR}/debian/conffiles "/etc/xdg/autostart/velmor.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/conffiles)

include(CPack)
