# What `cmake --install` adds beyond the install rules of each folder, and `cpack -G DEB`.
#
# The Pixtile package: Pixtile and the vtcommon and vtsafefile libraries it links (exported as
# Pixtile::Pixtile, Pixtile::vtcommon, Pixtile::vtsafefile), its headers under include/Pixtile
# and the configuration that makes find_package(Pixtile) work for another program.
include(CMakePackageConfigHelpers)
set(VT_PIXTILE_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Pixtile)
install(EXPORT PixtileTargets NAMESPACE Pixtile:: DESTINATION ${VT_PIXTILE_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PixtileConfig.cmake.in
    ${PROJECT_BINARY_DIR}/PixtileConfig.cmake INSTALL_DESTINATION ${VT_PIXTILE_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/PixtileConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/PixtileConfig.cmake
    ${PROJECT_BINARY_DIR}/PixtileConfigVersion.cmake DESTINATION ${VT_PIXTILE_CMAKEDIR})

# The Debian package, velkintree_<version>_<arch>.deb: everything installed, under /usr, made from
# the users' build (build/: optimised, no assertions). dpkg-shlibdeps finds the libraries the
# binaries link; what the program loads or reads at run time it cannot see, so that is named
# (scripts/bootstrap.sh installs the same): the Qt SQLite driver and the TIFF and WebP plugins
# (only recommended by Qt), the fonts the metafile library draws text with (it reads
# Ghostscript's font map, and only recommends the fonts), and the fonts that show Chinese,
# Japanese and Korean names (recommended: every other name shows in the fonts Qt's font
# configuration always brings).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkintree)
set(CPACK_PACKAGE_VENDOR Quillmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep family trees and browse them as charts")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Velkin Tree keeps family trees in one database and shows each as a chart of\n"
    "boxes, one generation per row: a click on a person opens that person's\n"
    "children below. Persons have photos, browsed in a thumbnail viewer. GEDCOM\n"
    "files are read and written.\n"
    "\n"
    "The package also holds Pixtile, the thumbnail viewer control, with its\n"
    "headers and CMake package for other Qt programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillmar <velkin@quillmar-soft.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, libqt6keychain1, qt6-image-formats-plugins, "
    "fonts-urw-base35")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, fonts-wqy-microhei")
include(CPack)
