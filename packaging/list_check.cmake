# The List Check window in the Debian package: its manual page and its menu
# entry, which desktops also offer in "Open with" for CSV files. Included by
# packaging.cmake.

add_test(NAME Packaging.DesktopEntriesOpenWhatTheySay
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/desktop_entries_test.sh
        ${packaging_dir}/${app_id}.desktop ${packaging_dir}/${app_id}.ListCheck.desktop)
if(NOT TARGET korvallestin-list-check)
    return()
endif()

# The program itself, its link in bin/ and its stripping are installed with
# the postcode window's (app/CMakeLists.txt).
install(FILES ${packaging_dir}/${app_id}.ListCheck.desktop DESTINATION share/applications)

# The manual page carries the version and the date of the window's.
configure_file(${packaging_dir}/korvallestin-list-check.1.in ${packaging_out}/korvallestin-list-check.1 @ONLY)
set(list_check_man_gz ${packaging_out}/korvallestin-list-check.1.gz)
add_custom_command(OUTPUT ${list_check_man_gz}
    COMMAND gzip -9nkf ${packaging_out}/korvallestin-list-check.1
    DEPENDS ${packaging_out}/korvallestin-list-check.1
    COMMENT "Compressing the List Check window's manual page"
    VERBATIM)
add_custom_target(list-check-man-page ALL DEPENDS ${list_check_man_gz})
install(FILES ${list_check_man_gz} DESTINATION share/man/man1)
