# `cpack -G DEB` in a build folder makes korvalundrix_<version>_<arch>.deb from the install rules.
# Its dependencies are worked out by dpkg-shlibdeps from the libraries the program really links.
set(KV_PACKAGE_CONTACT "KORVALUNDRIX developers <maintainers@korvalundrix.invalid>"
    CACHE STRING "The Debian package's maintainer")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvalundrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${KV_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: drive an armoured vehicle over pits, rocks and saucers")
set(CPACK_PACKAGE_DESCRIPTION
    "You steer a six-wheeled armoured vehicle that faces left while the ground scrolls beneath it:
jump the pits, jump or shoot the rocks that roll in, and shoot the flying saucers before their
bombs blow craters into your road. Six levels, each with its own mix of hazards.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The button captions use an installed sans-serif font when there is one.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
