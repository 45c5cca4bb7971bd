# The data file in the Debian package is a configuration file, so that a
# postcode list a person brings in (korvallestin-cli import-data --install)
# survives an upgrade: /etc/korvallestin/postcodes.csv, marked as a conffile
# (dpkg keeps a changed one, or asks), with /usr/lib/korvallestin/postcodes.csv
# a link to it, where both programs look for it beside themselves. Only the
# package is laid out so: a plain `cmake --install` keeps the file beside the
# programs. Included by packaging.cmake.

set(data_conffile /etc/korvallestin/postcodes.csv)
# Run by CPack on its staging folder, after the install and before the
# package is made.
set(CPACK_PRE_BUILD_SCRIPTS ${packaging_dir}/data_conffile_stage.cmake)

file(WRITE ${packaging_out}/conffiles "${data_conffile}\n")
# On purge dpkg removes the conffile; the copy an install kept, and the folder,
# go too.
file(WRITE ${packaging_out}/postrm
"#!/bin/sh
set -e
if [ \"$1\" = purge ]; then
    rm -f /etc/korvallestin/postcodes.previous.csv
    rmdir --ignore-fail-on-non-empty /etc/korvallestin 2>/dev/null || true
fi
")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging_out}/conffiles ${packaging_out}/postrm)
