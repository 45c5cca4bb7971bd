# Desktop integration and the Debian package. The top-level CMakeLists.txt
# includes this file after every folder, so the program's own install rules
# (app/CMakeLists.txt) are already in place.

set(packaging_dir ${CMAKE_CURRENT_LIST_DIR})
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(app_id org.korvallestin.Korvallestin)

# The menu entry and the AppStream metadata, where desktops and software
# centres look for them.
install(FILES ${packaging_dir}/${app_id}.desktop DESTINATION share/applications)
# Its release is the project's version, dated as in CHANGELOG.md.
include(${packaging_dir}/release.cmake)
configure_file(${packaging_dir}/${app_id}.metainfo.xml.in ${packaging_out}/${app_id}.metainfo.xml @ONLY)
install(FILES ${packaging_out}/${app_id}.metainfo.xml DESTINATION share/metainfo)

# The window icon in the hicolor theme. Our pictures are XPM, which the icon
# theme rules accept only for old themes and which not every desktop can read
# any more, so they are installed as PNG, made at build time by a small Qt
# tool (Qt reads XPM and writes PNG without anything else installed).
add_executable(xpm-to-png ${packaging_dir}/xpm_to_png.cpp)
set_target_properties(xpm-to-png PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${packaging_out})
target_link_libraries(xpm-to-png PRIVATE Qt6::Gui)
set(icon_files)
foreach(size 16 32)
    set(xpm ${PROJECT_SOURCE_DIR}/resources/pictures/korvallestin-${size}.xpm)
    set(png ${packaging_out}/icons/${size}x${size}/${app_id}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${packaging_out}/icons/${size}x${size}
        COMMAND xpm-to-png ${xpm} ${png} ${size}
        DEPENDS xpm-to-png ${xpm}
        COMMENT "Making the ${size}x${size} icon"
        VERBATIM)
    list(APPEND icon_files ${png})
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icon_files})

# The Debian package: `make package` runs cpack in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvallestin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Korvallestin developers")
set(CPACK_PACKAGE_CONTACT "Korvallestin developers <korvallestin@users.noreply.github.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://github.com/korvallestin/korvallestin)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "look up Australian postcodes")
set(CPACK_PACKAGE_DESCRIPTION
    "Korvallestin is a small desktop program that finds Australian postcodes and
localities. Type a postcode, a state and a locality (or the beginning or any
part of one) and every matching entry of the shipped list of 18,528
localities is listed as it is found, with its state, delivery office and
parcel zone. Results can be sorted by any column.
.
A console program, korvallestin-cli, answers the same look-ups in text, CSV,
TSV or JSON, and checks whole address lists in CSV, row by row, for
localities, states and postcodes that do not agree, with suggestions.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps reads the program's libraries and writes the Depends line
# (libqt6widgets6, libqt6gui6, libqt6core6, libc6, libstdc++6 ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")  # the window font (ui/common/window_font.h)
# Most desktops run Wayland now; without the plugin Qt falls back to XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(${packaging_dir}/debian_docs.cmake)
include(${packaging_dir}/cli.cmake)
include(${packaging_dir}/list_check.cmake)
include(${packaging_dir}/data_conffile.cmake)
include(CPack)
