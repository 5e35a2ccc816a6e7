# The website window's helper program, the resident program's launcher for it,
# and the data they need. Only the helper links the web engine.
find_package(Qt6 REQUIRED COMPONENTS Core)

set(VANTREL_WEBSITE_URL "" CACHE STRING
  "The maker's website address shown by the website window; empty for the home page shipped with the program")
set(VANTREL_INSTALLED_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/vantrel)
# A program's private helpers go in a folder of its own under libexec.
set(VANTREL_HELPER_INSTALL_DIR ${CMAKE_INSTALL_LIBEXECDIR}/vantrel)
set(VANTREL_INSTALLED_HELPER_DIR ${CMAKE_INSTALL_FULL_LIBEXECDIR}/vantrel)
configure_file(website_config.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/website_config.h @ONLY)

# What the resident program links to open the website window.
add_library(vantrel_website_launcher STATIC website_launcher.cpp)
set_target_properties(vantrel_website_launcher PROPERTIES AUTOMOC ON)
target_include_directories(vantrel_website_launcher
  PUBLIC ${PROJECT_SOURCE_DIR}/src
  PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(vantrel_website_launcher PUBLIC Qt6::Core)
# The helper's file name as the system spells it (vantrel-website.exe on Windows).
target_compile_definitions(vantrel_website_launcher PRIVATE
  VANTREL_WEBSITE_HELPER_FILE_NAME="$<TARGET_FILE_NAME:vantrel-website>")

# The helper's own pieces besides its window: the pipe from the resident
# program and the data folders.
add_library(vantrel_website_helper STATIC resident_channel.cpp website_data.cpp)
set_target_properties(vantrel_website_helper PROPERTIES AUTOMOC ON)
target_include_directories(vantrel_website_helper
  PUBLIC ${PROJECT_SOURCE_DIR}/src
  PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(vantrel_website_helper PUBLIC Qt6::Core)

# The build tree gets a data folder beside its programs, laid out like the
# installed one, so that the helper finds its home page and sound uninstalled.
set(VANTREL_BUILD_DATA_DIR ${CMAKE_CURRENT_BINARY_DIR}/data)
find_program(SOX_EXECUTABLE sox REQUIRED)
add_custom_command(
  OUTPUT ${VANTREL_BUILD_DATA_DIR}/trumpet1.wav
  COMMAND ${CMAKE_COMMAND} -DSOX=${SOX_EXECUTABLE} -DOUTPUT=${VANTREL_BUILD_DATA_DIR}/trumpet1.wav
          -P ${PROJECT_SOURCE_DIR}/data/sounds/make-trumpet.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/data/sounds/make-trumpet.cmake
  COMMENT "Synthesising trumpet1.wav"
  VERBATIM)
set(website_data_files ${VANTREL_BUILD_DATA_DIR}/trumpet1.wav)
foreach(page index.html vantrel.html style.css)
  add_custom_command(
    OUTPUT ${VANTREL_BUILD_DATA_DIR}/website/${page}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${PROJECT_SOURCE_DIR}/data/website/${page} ${VANTREL_BUILD_DATA_DIR}/website/${page}
    DEPENDS ${PROJECT_SOURCE_DIR}/data/website/${page}
    VERBATIM)
  list(APPEND website_data_files ${VANTREL_BUILD_DATA_DIR}/website/${page})
endforeach()
add_custom_target(vantrel_website_data ALL DEPENDS ${website_data_files})

add_executable(vantrel-website website_main.cpp)
target_link_libraries(vantrel-website PRIVATE
  vantrel_website_window vantrel_website_helper vantrel_artwork vantrel_sound vantrel_process)
add_dependencies(vantrel-website vantrel_website_data)

install(TARGETS vantrel-website RUNTIME DESTINATION ${VANTREL_HELPER_INSTALL_DIR})
install(FILES ${VANTREL_BUILD_DATA_DIR}/trumpet1.wav DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/website DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel)
