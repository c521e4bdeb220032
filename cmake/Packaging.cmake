# A Debian package of the installed tree: `cpack -G DEB` in the build folder (or the `package`
# target). Include this after every install rule, at the end of the top CMakeLists.txt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tourwise)
set(CPACK_PACKAGE_VENDOR "Kestrand")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Kestrand Support <support@kestrand.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrand Support <support@kestrand.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kestrand.example")
# The synopsis line comes from the summary above; this is the long description below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tourwise shows one month at a time and tells for every day which crew is on
duty, the regular days off of the fourteen RDO groups, the paydays and the
numbered bi-weekly pay periods, in colours of the user's choice.")
# dpkg-shlibdeps (package dpkg-dev) finds the libraries the program links, libc and the Qt
# libraries among them; Debian 12 ships the xcb platform plugin inside libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")

# cpack packs what `cmake --install` finds built and builds nothing itself; scripts/run.sh builds
# only the program, so the manual page and the changelog are made with it, and `cpack` works in
# build/release as it is.
add_dependencies(tourwise tourwise_docs)

include(CPack)
