# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME palettra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orva Tavel")
set(CPACK_PACKAGE_CONTACT "Palettra developers <palettra@orva-tavel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paint-colour picker for fan-deck colour collections")
set(CPACK_PACKAGE_DESCRIPTION
  "Palettra lets designers browse a coatings maker's colour collections laid out like a\n"
  "physical fan deck: roll through cards, step segments on a colour wheel, filter by\n"
  "mood and exterior use, search names and codes, see colour schemes, products,\n"
  "textures and trend groups, and gather chips in a personal palette.\n"
  "\n"
  "The package holds the standalone picker (palettra), the 3ds Max plug-in built against\n"
  "stand-ins of the 3ds Max SDK and Win32 with its host simulator (palettra-host), the\n"
  "collection database tool (palettra-db) and a demo deck of four collections.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Without the debugging information the build keeps.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orva-tavel.example/palettra")
# Shared-library dependencies are worked out from the binaries (dpkg-shlibdeps); the
# window layer is a library of the package itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/host")
# What Qt loads as plug-ins at run time, which no binary links to: the SQLite driver and
# the window-system platforms. The theme's fonts, when installed, look as intended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-open-sans")
include(CPack)
