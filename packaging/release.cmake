# The release the build's version stands for: CHANGELOG.md must have it, with
# its date (korv_release_date), so that no version ships undescribed. A test
# build under a higher version (KORV_TEST_VERSION, see CMakeLists.txt) is
# never released: it is not looked for, and is dated today.
if(KORV_TEST_VERSION)
    string(TIMESTAMP korv_release_date "%Y-%m-%d" UTC)
    return()
endif()
file(READ ${PROJECT_SOURCE_DIR}/CHANGELOG.md changelog_text)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
string(REPLACE "." "\\." version_pattern ${PROJECT_VERSION})
if(NOT changelog_text MATCHES "\n## \\[${version_pattern}\\] - ([0-9]+-[0-9]+-[0-9]+)")
    message(FATAL_ERROR "CHANGELOG.md has no release ${PROJECT_VERSION} (## [${PROJECT_VERSION}] - YYYY-MM-DD)")
endif()
set(korv_release_date ${CMAKE_MATCH_1})
