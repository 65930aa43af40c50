# A Debian package of the installed tree: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME palettra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orva Tavel")
set(CPACK_PACKAGE_CONTACT "Palettra developers <palettra@orva-tavel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "paint-colour picker for fan-deck colour collections")
# Lines of at most 80 characters, as Debian's tools want them.
set(CPACK_PACKAGE_DESCRIPTION
  "Palettra lets designers browse a coatings maker's colour collections laid\n"
  "out like a physical fan deck: roll through cards, step segments on a colour\n"
  "wheel, filter by mood and exterior use, search names and codes, see colour\n"
  "schemes, products, textures and trend groups, and gather chips in a\n"
  "personal palette.\n"
  "\n"
  "The package holds the standalone picker (palettra), the 3ds Max plug-in\n"
  "built against stand-ins of the 3ds Max SDK and Win32 with its host\n"
  "simulator (palettra-host), the collection database tool (palettra-db), a\n"
  "Blender add-on and a demo deck of four collections.")
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
# the window-system platforms. The theme's fonts, when installed, look as intended, and
# the extra image plug-ins let photos in WebP and TIFF become palettes.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-open-sans, qt6-image-formats-plugins")
# What Debian wants of every package: the copyright in machine-readable form, the
# changelog and the manual pages compressed, and nothing the dynamic loader must learn
# about (the private libraries lie outside its folders).
set(PALETTRA_DOC_DIR "share/doc/${CPACK_PACKAGE_NAME}")
find_program(PALETTRA_GZIP gzip REQUIRED)
set(PALETTRA_COMPRESSED "${CMAKE_BINARY_DIR}/compressed")
set(PALETTRA_COMPRESSED_FILES "")
foreach(source IN ITEMS cmake/debian/changelog docs/man/palettra.1 docs/man/palettra-host.1 docs/man/palettra-db.1)
  get_filename_component(name "${source}" NAME)
  set(output "${PALETTRA_COMPRESSED}/${name}.gz")
  add_custom_command(OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${PALETTRA_COMPRESSED}"
    COMMAND ${PALETTRA_GZIP} -9nc "${CMAKE_SOURCE_DIR}/${source}" > "${output}"
    DEPENDS "${CMAKE_SOURCE_DIR}/${source}"
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND PALETTRA_COMPRESSED_FILES "${output}")
endforeach()
add_custom_target(compressed-docs ALL DEPENDS ${PALETTRA_COMPRESSED_FILES})
install(FILES "${PALETTRA_COMPRESSED}/changelog.gz" DESTINATION "${PALETTRA_DOC_DIR}")
install(FILES cmake/debian/copyright cmake/debian/README.Debian DESTINATION "${PALETTRA_DOC_DIR}")
install(FILES "${PALETTRA_COMPRESSED}/palettra.1.gz" "${PALETTRA_COMPRESSED}/palettra-host.1.gz"
              "${PALETTRA_COMPRESSED}/palettra-db.1.gz"
        DESTINATION share/man/man1)

include(CPack)
