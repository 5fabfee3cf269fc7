# Installation and the Debian package (cpack -G DEB from a Release build folder): the program
# and the device simulator in /usr/bin, the desktop entry and the 32×32 icon. The dependencies
# come from dpkg-shlibdeps, so they follow whatever the binaries really link.
include(GNUInstallDirs)

if(TARGET tamarind)
  install(TARGETS tamarind RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS tamarind-devsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tamarind.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
set(TAMARIND_ICON ${PROJECT_SOURCE_DIR}/app/tamarind.png)
if(EXISTS ${TAMARIND_ICON})
  install(FILES ${TAMARIND_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamarind)
set(CPACK_PACKAGE_VENDOR "Tamarind maintainers")
set(CPACK_PACKAGE_CONTACT "Tamarind maintainers <maintainers@tamarind.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamarind sends each serial port (COM1 ... COM30) its lines from a job file in lockstep, at a \
fixed interval, and records every answer with the time and two counters in a receive log and in \
its window. tamarind-devsim simulates modems and echo devices on pseudo-terminals.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Japanese captions are drawn in this font; without it they fall back to another.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
include(CPack)
