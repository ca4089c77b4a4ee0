# Installing Mavelo like a Linux program: the executable in bin/, the shipped folders in
# share/mavelo/ (where the program looks when they are not beside it), a desktop entry,
# the icon in the hicolor theme, AppStream metadata, and a Debian package by CPack.
include(GNUInstallDirs)

set(MAVELO_APP_ID app.mavelo.Mavelo)
string(TIMESTAMP MAVELO_RELEASE_DATE "%Y-%m-%d" UTC)

install(TARGETS mavelo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The shipped folders as the build lays them out beside the executable, generated files
# (sounds, the food database) included. A folder that a build does not have is skipped.
foreach(folder Brand Help Sound DB Config Calendar)
  install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${folder}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mavelo OPTIONAL USE_SOURCE_PERMISSIONS)
endforeach()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${MAVELO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/packaging/${MAVELO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${MAVELO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${MAVELO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon theme files, drawn by the program's own icon code.
add_executable(mavelo_writeicons tools/writeicons.cpp)
target_link_libraries(mavelo_writeicons PRIVATE mavelo_ui)
set(MAVELO_ICON_STAMP ${CMAKE_BINARY_DIR}/icons/hicolor/256x256/apps/${MAVELO_APP_ID}.png)
add_custom_command(OUTPUT ${MAVELO_ICON_STAMP}
  COMMAND mavelo_writeicons ${CMAKE_BINARY_DIR}/icons ${MAVELO_APP_ID}
  DEPENDS mavelo_writeicons VERBATIM)
add_custom_target(mavelo_icons ALL DEPENDS ${MAVELO_ICON_STAMP})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# make package: mavelo_<version>_amd64.deb, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mavelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_CONTACT "Tarnwick <support@mavelo.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "cycle calendar and organiser for a woman's health and her family's day")
set(CPACK_PACKAGE_DESCRIPTION
    "Mavelo is a menstrual-cycle calendar with a journal, to-do lists and trackers for basal
temperature, weight, exercise, blood pressure, health records, sleep with alarms, a baby
and kids log, and a calorie diary fed by the USDA nutrient table.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.mavelo.app/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries alone do not name: the plugins Qt loads at run time (windows, the
# SQLite driver, sound), the fonts the pages are measured with, and the desktop opener.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6multimedia6, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, cups-client")
include(CPack)
