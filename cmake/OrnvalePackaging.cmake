# The Debian package: `cpack -G DEB` in a build folder configured with -DCMAKE_INSTALL_PREFIX=/usr.
# The Qt libraries come from dpkg-shlibdeps; the font for the Japanese texts is named here, since
# no library links it.
set(ORNVALE_PACKAGE_CONTACT "Ornvale developers" CACHE STRING "Maintainer of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ornvale)
set(CPACK_PACKAGE_VENDOR Ornvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ORNVALE_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts CAD drawings and rewrites the texts of DXF files")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ornvale is a Japanese desktop tool for AutoCAD drawings. It converts DWG and\n"
    "DXF drawings to another format and release by driving an installed AutoCAD\n"
    "with a script, and it rewrites the TEXT and MTEXT values of DXF files: search\n"
    "and replace, half-width and full-width characters, case, hiragana and katakana.\n"
    "The command ornvale-cli runs the same jobs without windows.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
# The standard buttons of the message boxes in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
include(CPack)
