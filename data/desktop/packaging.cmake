# The Debian package: `cpack -G DEB` in a build tree configured with
# -DCMAKE_INSTALL_PREFIX=/usr, since the programs keep the folders they were
# configured with (scripts/package does both).

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Morvask)
set(CPACK_PACKAGE_CONTACT "Morvask <vantrel@morvask.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "open files with the function keys F6 to F12")
set(CPACK_PACKAGE_DESCRIPTION [[
Vantrel is a small resident launcher. Bind each of the function keys F6 to
F12 to a file (a program, a document, a folder, an address); while Vantrel
runs it shows only a tray icon, watches the seven keys whatever program has
the focus, and opens the bound file the way the desktop would.

It needs an X11 or Wayland session with a system tray or a StatusNotifier
host. On Wayland the keys come through the desktop's global shortcuts (KDE
Plasma, GNOME 48 and later) or through a shortcut that runs
`vantrel --press KEY`.]])
set(CPACK_PACKAGE_HOMEPAGE_URL ${VANTREL_HOMEPAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; these are what it
# can't see. Qt's X11 platform plugin, the SVG renderer and the web engine's
# helper process come with the libraries it finds (libqt6gui6, libqt6svg6,
# libqt6webenginewidgets6); its Wayland plugin is a package of its own
# (qt6-wayland), loaded at run time. The tray needs nothing more: an XEmbed
# tray is spoken to over X11, a StatusNotifier host over the session bus.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-comic-neue, fonts-liberation2, shared-mime-info, qt6-wayland")
# libcanberra plays through ALSA without it; through PulseAudio or PipeWire
# with it. The desktop portal carries the keys as global shortcuts on
# Wayland desktops that offer them; elsewhere `vantrel --press` does.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libcanberra-pulse, xdg-desktop-portal")

# What the package puts under /etc is the administrator's to change: kept
# across upgrades and removals, gone with a purge.
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles
     CONTENT "${VANTREL_AUTOSTART_DIR}/${VANTREL_APP_ID}.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/debian/conffiles)

# A package built from a tree with another prefix would look for its helper
# and data where they aren't.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/cpack_project_config.cmake.in
               ${CMAKE_BINARY_DIR}/cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack_project_config.cmake)

install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

include(CPack)
