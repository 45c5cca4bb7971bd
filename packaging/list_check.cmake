# The List Check window in the Debian package: beside the other programs in
# lib/korvallestin/, where it finds the same data file, with a link in bin/,
# its manual page and its menu entry, which desktops also offer in "Open
# with" for CSV files. Included by packaging.cmake.

add_test(NAME Packaging.DesktopEntriesOpenWhatTheySay
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/desktop_entries_test.sh
        ${packaging_dir}/${app_id}.desktop ${packaging_dir}/${app_id}.ListCheck.desktop)
if(NOT TARGET korvallestin-list-check)
    return()
endif()

# The program finds its folder through /proc/self/exe, which names the real
# file behind the link, as the postcode window does.
install(TARGETS korvallestin-list-check RUNTIME DESTINATION lib/korvallestin)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/korvallestin/korvallestin-list-check\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")
set(list_check_link ${packaging_out}/bin/korvallestin-list-check)
file(MAKE_DIRECTORY ${packaging_out}/bin)
file(CREATE_LINK ../lib/korvallestin/korvallestin-list-check ${list_check_link} SYMBOLIC)
install(FILES ${list_check_link} DESTINATION bin)

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
