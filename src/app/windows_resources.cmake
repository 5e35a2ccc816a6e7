# What the program carries on Windows besides its code: it starts as a
# program with windows rather than in a console (the property means nothing
# elsewhere), and vantrel.exe has the icon and version record that Explorer
# shows for it.

set_target_properties(vantrel PROPERTIES WIN32_EXECUTABLE ON)

if(WIN32)
  # The icon is drawn when building, like the window and tray icons at run time.
  set(VANTREL_WINDOWS_ICON ${CMAKE_CURRENT_BINARY_DIR}/vantrel.ico)
  add_custom_command(
    OUTPUT ${VANTREL_WINDOWS_ICON}
    COMMAND vantrel-render-windows-icon ${VANTREL_WINDOWS_ICON}
    DEPENDS vantrel-render-windows-icon
    COMMENT "Drawing the program's Windows icon"
    VERBATIM)

  configure_file(${CMAKE_CURRENT_LIST_DIR}/vantrel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc @ONLY)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc PROPERTIES OBJECT_DEPENDS ${VANTREL_WINDOWS_ICON})
  target_sources(vantrel PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/vantrel.rc ${VANTREL_WINDOWS_ICON})
endif()
