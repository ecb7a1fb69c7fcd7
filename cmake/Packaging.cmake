# Installation and release packages. `cmake --install` puts every program of the suite, the
# example game generator, msh_preview, README and licence under the prefix; CPack makes a ZIP
# of the Windows build (self-contained .exe files) and a .deb and a .tar.gz of the Linux build.
# scripts/package.sh builds all three and tries each one out.

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${KX_INSTALL_DOCS})

set(CPACK_PACKAGE_NAME reelmara-prop-tools)
set(CPACK_PACKAGE_VENDOR "The Reelmara prop tools developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Console tools that report on the MSH meshes of Reelmara and rebuild them into props")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_HOMEPAGE_URL "")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR "DEB;TGZ")
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Reelmara prop tools developers <reelmara-prop-tools@localhost>")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Console tools that report on the MSH meshes of Reelmara and rebuild them into props.\n"
      "meshlister reports on MSH files and exports their meshes and objects; propcarver and propbender\n"
      "carve and transform props out of them; dresscaster turns a saved set-dressing arrangement into\n"
      "one prop; roomwright builds rooms and building exteriors from INI files; propbridge converts\n"
      "props to glTF and back; meshgallery draws meshes as pages to open in a browser; paklister lists\n"
      "what the game's data folders and archives hold and takes files out of them.")
  # The libraries the programs link (the C++ runtime, zlib) become the package's dependencies.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
