# Debian package: `cpack -G DEB` in the build folder writes
# vantrix_<version>_<arch>.deb with the libraries, headers, CMake and
# pkg-config files, vtxpack, vtxmesh and ravlo with its demo media.
# The libraries are static, so a game built against the package needs the
# development packages of what they link; the programs' own run-time
# libraries are found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME vantrix)
set(CPACK_PACKAGE_VENDOR "Vantrix developers")
set(CPACK_PACKAGE_CONTACT "Vantrix developers <vantrix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shared runtime ships its shlibs file, so packages built on it depend on it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libsdl2-dev, libgl-dev, libpng-dev, libjpeg62-turbo-dev | libjpeg-dev, liblzo2-dev, zlib1g-dev, libavformat-dev, libavcodec-dev, libswresample-dev, libswscale-dev, libavutil-dev, pkg-config")
include(CPack)
