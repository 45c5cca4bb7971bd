# The console program in the Debian package: beside the window in
# lib/korvallestin/, where it finds the same data file, with a link in bin/,
# its manual page and its bash completion. Included by packaging.cmake.

add_test(NAME Packaging.BashCompletionOffersTheRightWords
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/bash_completion_test.sh
        ${packaging_dir}/korvallestin-cli.bash)
if(NOT TARGET korvallestin-cli)
    return()
endif()

# The program finds its folder through /proc/self/exe, which names the real
# file behind the link, as the window does.
install(TARGETS korvallestin-cli RUNTIME DESTINATION lib/korvallestin)
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/korvallestin/korvallestin-cli\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")
set(cli_link ${packaging_out}/bin/korvallestin-cli)
file(MAKE_DIRECTORY ${packaging_out}/bin)
file(CREATE_LINK ../lib/korvallestin/korvallestin-cli ${cli_link} SYMBOLIC)
install(FILES ${cli_link} DESTINATION bin)

# The manual page carries the version and the date of the window's.
configure_file(${packaging_dir}/korvallestin-cli.1.in ${packaging_out}/korvallestin-cli.1 @ONLY)
set(cli_man_gz ${packaging_out}/korvallestin-cli.1.gz)
add_custom_command(OUTPUT ${cli_man_gz}
    COMMAND gzip -9nkf ${packaging_out}/korvallestin-cli.1
    DEPENDS ${packaging_out}/korvallestin-cli.1
    COMMENT "Compressing the console program's manual page"
    VERBATIM)
add_custom_target(cli-man-page ALL DEPENDS ${cli_man_gz})
install(FILES ${cli_man_gz} DESTINATION share/man/man1)

# bash-completion loads a command's completion on demand from this folder,
# by the command's name.
install(FILES ${packaging_dir}/korvallestin-cli.bash
    DESTINATION share/bash-completion/completions RENAME korvallestin-cli)
add_test(NAME Packaging.CliManPageAndCompletionKnowEveryOption
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/cli_docs_test.sh
        $<TARGET_FILE:korvallestin-cli> ${packaging_dir}/korvallestin-cli.1.in
        ${packaging_dir}/korvallestin-cli.bash)
