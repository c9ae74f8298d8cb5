# The Debian package (make deb, or cpack -G DEB in the build folder) and the documents installed with the
# programs. Dependencies are computed from the shared libraries the programs link (dpkg-shlibdeps).
set(SKIMLET_DEB_RELEASE 1)
set(SKIMLET_DEB_VERSION ${PROJECT_VERSION}-${SKIMLET_DEB_RELEASE})

# Documents: README, the copyright in Debian's machine-readable format and the changelog (gzip -n: the
# same bytes on every build).
set(debian_out ${CMAKE_BINARY_DIR}/debian)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${debian_out}/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${debian_out}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${debian_out}/changelog.Debian.gz
  COMMAND gzip -9nkf ${debian_out}/changelog.Debian
  DEPENDS ${debian_out}/changelog.Debian
  VERBATIM)
add_custom_target(skimlet_changelog ALL DEPENDS ${debian_out}/changelog.Debian.gz)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${debian_out}/copyright ${debian_out}/changelog.Debian.gz
        DESTINATION ${SKIMLET_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skimlet)
set(CPACK_PACKAGE_VENDOR ${SKIMLET_COMPANY})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SKIMLET_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Wi-Fi survey tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Skimlet lists every access point a wireless interface hears, with signal,\n"
    "channel, width, PHY modes, security, rates and vendor, and decodes the\n"
    "802.11 information elements of their beacons. It scans without root\n"
    "privileges through NetworkManager, and opens saved snapshots and pcap or\n"
    "pcapng captures.\n"
    "\n"
    "The package holds the window (skimlet) and the headless front end for SSH\n"
    "sessions and scripts (skimlet-cli).")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SKIMLET_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${SKIMLET_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${SKIMLET_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS network-manager)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
