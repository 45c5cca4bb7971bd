# CPack runs this on the package's staging folder (see data_conffile.cmake):
# the data file moves to etc/korvallestin/, and an absolute link takes its
# place beside the programs (Debian links across top-level folders with
# absolute paths).
file(GLOB_RECURSE staged LIST_DIRECTORIES false
    "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/lib/korvallestin/postcodes.csv"
    "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/lib/korvallestin/postcodes.csv")
list(LENGTH staged count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one staged postcodes.csv under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}, found: ${staged}")
endif()
# The staging folder's root: the folder that holds usr/.
string(REGEX REPLACE "/usr/lib/korvallestin/postcodes\\.csv$" "" root "${staged}")
file(MAKE_DIRECTORY "${root}/etc/korvallestin")
file(RENAME "${staged}" "${root}/etc/korvallestin/postcodes.csv")
file(CREATE_LINK /etc/korvallestin/postcodes.csv "${staged}" SYMBOLIC)
