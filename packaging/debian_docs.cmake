# What Debian asks of every package besides the program: the copyright file in
# the machine-readable format, the changelog, the manual page (the last two
# compressed with gzip -9n, without name or time stamp, so that a rebuild gives
# the same bytes) and the lintian override with its reason. Included by
# packaging.cmake, which sets packaging_dir, packaging_out, korv_release_date
# and the CPack fields used here.

set(doc_dir share/doc/${CPACK_PACKAGE_NAME})

# The licence texts come from the files in the sources, in the copyright
# format's layout: indented by one space, a blank line written as " .".
function(korv_copyright_text out_var file)
    file(READ ${file} text)
    string(FIND "${text}" "Permission" start)
    string(SUBSTRING "${text}" ${start} -1 text)
    string(STRIP "${text}" text)
    string(REPLACE "\n\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text "${text}")
    set(${out_var} " ${text}" PARENT_SCOPE)
endfunction()
korv_copyright_text(expat_text ${PROJECT_SOURCE_DIR}/LICENSE)
korv_copyright_text(isc_text ${PROJECT_SOURCE_DIR}/resources/postcodes.LICENSE)
configure_file(${packaging_dir}/copyright.in ${packaging_out}/copyright @ONLY)
install(FILES ${packaging_out}/copyright DESTINATION ${doc_dir})

set(changelog_gz ${packaging_out}/changelog.gz)
# A test build under a higher version (KORV_TEST_VERSION: package-smoke's
# upgrade) is never released and carries the released changelog.
set(changelog_version ${PROJECT_VERSION})
if(KORV_TEST_VERSION)
    set(changelog_version -)
endif()
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND ${packaging_dir}/debian-changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${changelog_gz}
        ${CPACK_PACKAGE_NAME} ${changelog_version} ${CPACK_PACKAGE_CONTACT}
    DEPENDS ${packaging_dir}/debian-changelog ${PROJECT_SOURCE_DIR}/CHANGELOG.md
    COMMENT "Making the package's changelog from CHANGELOG.md"
    VERBATIM)
install(FILES ${changelog_gz} DESTINATION ${doc_dir})

configure_file(${packaging_dir}/korvallestin.1.in ${packaging_out}/korvallestin.1 @ONLY)
set(man_gz ${packaging_out}/korvallestin.1.gz)
add_custom_command(OUTPUT ${man_gz}
    COMMAND gzip -9nkf ${packaging_out}/korvallestin.1
    DEPENDS ${packaging_out}/korvallestin.1
    COMMENT "Compressing the manual page"
    VERBATIM)
install(FILES ${man_gz} DESTINATION share/man/man1)

add_custom_target(debian-docs ALL DEPENDS ${changelog_gz} ${man_gz})

install(FILES ${packaging_dir}/lintian-overrides
    DESTINATION share/lintian/overrides RENAME ${CPACK_PACKAGE_NAME})
