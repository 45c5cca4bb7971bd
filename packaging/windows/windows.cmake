# The Windows program: its icon, version resource and manifest, and the
# folder it is installed as (the program, its data and clip, the licences).
# scripts/windows-package adds the DLLs it needs and makes the zip and the
# installer from that folder. Included by the top-level CMakeLists.txt after
# every folder.

set(windows_dir ${CMAKE_CURRENT_LIST_DIR})
set(windows_out ${CMAKE_BINARY_DIR}/packaging)
# A version ships only as a release that CHANGELOG.md describes.
include(${windows_dir}/../release.cmake)

# A GUI program: no console window opens with it.
set_target_properties(korvallestin PROPERTIES WIN32_EXECUTABLE ON)

# The icon, from the window's own pictures (ImageMagick's convert, run on the
# build machine; the name under /usr/local/bin may be something else).
find_program(KORV_CONVERT NAMES convert-im6.q16 convert REQUIRED)
set(KORV_ICO ${windows_out}/korvallestin.ico)
add_custom_command(OUTPUT ${KORV_ICO}
    COMMAND ${KORV_CONVERT}
        ${PROJECT_SOURCE_DIR}/resources/pictures/korvallestin-16.xpm
        ${PROJECT_SOURCE_DIR}/resources/pictures/korvallestin-32.xpm
        ${KORV_ICO}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/pictures/korvallestin-16.xpm
        ${PROJECT_SOURCE_DIR}/resources/pictures/korvallestin-32.xpm
    COMMENT "Making the program's icon"
    VERBATIM)
# The program is made in another folder: a target of its own here makes the
# icon before the resource that holds it is compiled.
add_custom_target(korvallestin-icon DEPENDS ${KORV_ICO})
add_dependencies(korvallestin korvallestin-icon)

# The version resource and the manifest carry the project's version.
string(REPLACE "." "," KORV_VERSION_COMMAS "${PROJECT_VERSION},0")
set(KORV_VERSION4 "${PROJECT_VERSION}.0")
set(KORV_MANIFEST ${windows_out}/korvallestin.manifest)
configure_file(${windows_dir}/korvallestin.manifest ${KORV_MANIFEST} @ONLY)
configure_file(${windows_dir}/korvallestin.rc.in ${windows_out}/korvallestin.rc @ONLY)
set_source_files_properties(${windows_out}/korvallestin.rc PROPERTIES
    OBJECT_DEPENDS "${KORV_ICO};${KORV_MANIFEST}")
target_sources(korvallestin PRIVATE ${windows_out}/korvallestin.rc)

# One folder: the program with its data and clip beside it, as it reads them.
install(TARGETS korvallestin RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/postcodes.csv ${PROJECT_SOURCE_DIR}/resources/Findfile.avi
    DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/resources/postcodes.LICENSE DESTINATION .
    RENAME postcodes-LICENSE.txt)
install(FILES ${KORV_ICO} DESTINATION .)
# The libraries the Windows program carries, and their licences.
install(FILES ${windows_dir}/THIRD-PARTY.txt DESTINATION .)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION . RENAME GPL-3.txt)

# The console program, beside the window in the same folder, where it finds
# the same data file. It stays a console program (no WIN32_EXECUTABLE), so
# that a command prompt waits for it and its output reaches the console and
# pipes.
if(TARGET korvallestin-cli)
    set(KORV_CLI_MANIFEST ${windows_out}/korvallestin-cli.manifest)
    configure_file(${windows_dir}/korvallestin-cli.manifest ${KORV_CLI_MANIFEST} @ONLY)
    configure_file(${windows_dir}/korvallestin-cli.rc.in ${windows_out}/korvallestin-cli.rc @ONLY)
    # (The program is made in another folder, whose view of the file counts.)
    set_source_files_properties(${windows_out}/korvallestin-cli.rc
        TARGET_DIRECTORY korvallestin-cli PROPERTIES
        OBJECT_DEPENDS "${KORV_ICO};${KORV_CLI_MANIFEST}")
    target_sources(korvallestin-cli PRIVATE ${windows_out}/korvallestin-cli.rc)
    add_dependencies(korvallestin-cli korvallestin-icon)
    install(TARGETS korvallestin-cli RUNTIME DESTINATION .)
endif()

# The List Check window, a GUI program beside the postcode window in the same
# folder, with its own version resource and manifest and the same icon.
if(TARGET korvallestin-list-check)
    set_target_properties(korvallestin-list-check PROPERTIES WIN32_EXECUTABLE ON)
    set(KORV_LIST_CHECK_MANIFEST ${windows_out}/korvallestin-list-check.manifest)
    configure_file(${windows_dir}/korvallestin-list-check.manifest ${KORV_LIST_CHECK_MANIFEST} @ONLY)
    configure_file(${windows_dir}/korvallestin-list-check.rc.in
        ${windows_out}/korvallestin-list-check.rc @ONLY)
    set_source_files_properties(${windows_out}/korvallestin-list-check.rc
        TARGET_DIRECTORY korvallestin-list-check PROPERTIES
        OBJECT_DEPENDS "${KORV_ICO};${KORV_LIST_CHECK_MANIFEST}")
    target_sources(korvallestin-list-check PRIVATE ${windows_out}/korvallestin-list-check.rc)
    add_dependencies(korvallestin-list-check korvallestin-icon)
    install(TARGETS korvallestin-list-check RUNTIME DESTINATION .)
endif()
