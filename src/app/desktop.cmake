# How the installed program meets the desktop: its entry in the application
# menu, the entry that starts it with the session, its icon in the icon theme,
# the metadata software centres show, and its manual page.

find_package(Qt6 REQUIRED COMPONENTS Gui Svg)

# The desktop file's name, the icon's name and the AppStream id, all one.
set(VANTREL_APP_ID org.morvask.Vantrel)
set(VANTREL_HOMEPAGE "https://morvask.example/vantrel/")
# Desktops read autostart entries from $XDG_CONFIG_DIRS/autostart, that is
# /etc/xdg/autostart, which is where this lands when the prefix is /usr.
set(VANTREL_AUTOSTART_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart CACHE PATH
  "Where the entry that starts Vantrel with the desktop session is installed")

set(desktop_sources ${PROJECT_SOURCE_DIR}/data/desktop)
set(desktop_build ${CMAKE_CURRENT_BINARY_DIR}/desktop)
configure_file(${desktop_sources}/vantrel.desktop.in ${desktop_build}/${VANTREL_APP_ID}.desktop @ONLY)
configure_file(${desktop_sources}/vantrel.metainfo.xml.in ${desktop_build}/${VANTREL_APP_ID}.metainfo.xml @ONLY)
configure_file(${desktop_sources}/vantrel.1.in ${desktop_build}/vantrel.1 @ONLY)

# The icon at the usual theme sizes, drawn from its SVG source when building.
add_executable(vantrel-render-icons render_icons.cpp)
target_link_libraries(vantrel-render-icons PRIVATE Qt6::Gui Qt6::Svg)
set(icon_source ${CMAKE_CURRENT_SOURCE_DIR}/resources/vantrel.svg)
set(icon_theme ${desktop_build}/hicolor)
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icon_files)
foreach(side ${icon_sizes})
  list(APPEND icon_files ${icon_theme}/${side}x${side}/apps/${VANTREL_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_files}
  COMMAND vantrel-render-icons ${icon_source} ${icon_theme} ${VANTREL_APP_ID} ${icon_sizes}
  DEPENDS vantrel-render-icons ${icon_source}
  COMMENT "Drawing the icon at the theme's sizes"
  VERBATIM)
add_custom_target(vantrel_icons ALL DEPENDS ${icon_files})

install(FILES ${desktop_build}/${VANTREL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_build}/${VANTREL_APP_ID}.desktop DESTINATION ${VANTREL_AUTOSTART_DIR})
install(FILES ${desktop_build}/${VANTREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop_build}/vantrel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(DIRECTORY ${icon_theme}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${VANTREL_APP_ID}.svg)
