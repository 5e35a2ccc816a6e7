# What the programs carry on Windows besides their code: they start as
# programs with windows rather than in a console (the property means nothing
# elsewhere), and vantrel.exe has the icon and version record that Explorer
# shows for it.

# The .ico encoder, built everywhere so that its test runs on every build.
add_library(vantrel_windows_icon STATIC windows_icon.cpp)
target_include_directories(vantrel_windows_icon PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(vantrel_windows_icon PUBLIC Qt6::Gui)

set_target_properties(vantrel vantrel-website PROPERTIES WIN32_EXECUTABLE ON)

if(WIN32)
  # The icon is drawn when building, like the window and tray icons at run time.
  add_executable(vantrel-render-windows-icon render_windows_icon.cpp)
  target_link_libraries(vantrel-render-windows-icon PRIVATE vantrel_artwork vantrel_windows_icon)
  set(VANTREL_WINDOWS_ICON ${CMAKE_CURRENT_BINARY_DIR}/vantrel.ico)
  add_custom_command(
    OUTPUT ${VANTREL_WINDOWS_ICON}
    COMMAND vantrel-render-windows-icon ${VANTREL_WINDOWS_ICON}
    DEPENDS vantrel-render-windows-icon
    COMMENT "Drawing the program's Windows icon"
    VERBATIM)

  configure_file(vantrel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc @ONLY)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc PROPERTIES OBJECT_DEPENDS ${VANTREL_WINDOWS_ICON})
  target_sources(vantrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc ${VANTREL_WINDOWS_ICON})
endif()
