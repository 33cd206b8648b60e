# What an installed Aurivo consists of, beside the programs and the plug-ins (installed where
# they are built): its data, the examples, the desktop integration, the manual pages, the guide
# and the licence, and the Debian package CPack builds from them.
#
# The programs find everything from their own location: data in ../share/aurivo and plug-ins
# in ../lib/aurivo/plugins, so the tree works under any prefix without being rebuilt.

set(AURIVO_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/aurivo)
set(AURIVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/aurivo)

install(FILES data/calibration.process DESTINATION ${AURIVO_SHARE_DIR})
install(DIRECTORY examples/ DESTINATION ${AURIVO_SHARE_DIR}/examples
        FILES_MATCHING PATTERN "*.process" PATTERN "*.description" PATTERN "*.wav"
        PATTERN "*.flt")
install(FILES plugins/splmeter/spl-1khz.process plugins/splmeter/spl-1khz.description
        DESTINATION ${AURIVO_SHARE_DIR}/examples)

install(FILES data/aurivo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/aurivo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/aurivo-process.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME aurivo.xml)
# Debian looks for the licence of a package in its doc folder as "copyright".
install(FILES LICENSE DESTINATION ${AURIVO_DOC_DIR} RENAME copyright)

# The manual pages name the folders of the prefix they are installed under, which is known
# only when installing (cmake --install --prefix, or /usr inside the package).
foreach(page aurivo aurivo-cli)
  install(CODE "
    set(PROJECT_VERSION ${PROJECT_VERSION})
    set(AURIVO_PREFIX \${CMAKE_INSTALL_PREFIX})
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1 ${PROJECT_BINARY_DIR}/docs/man/${page}.1 @ONLY)
    file(INSTALL DESTINATION \${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1 TYPE FILE
         FILES ${PROJECT_BINARY_DIR}/docs/man/${page}.1)")
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME aurivo)
set(CPACK_PACKAGE_VENDOR "Aurivo")
set(CPACK_PACKAGE_CONTACT "Aurivo developers <aurivo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Audio measurement and signal-processing workbench")
# One text: a semicolon would make it a CMake list.
set(CPACK_PACKAGE_DESCRIPTION
    "Composes processes of signal generators, sound card input and output, oscilloscopes and \
spectrum analysers, and measures spectra, THD, THD+N, IMD and impulse responses. A \
command-line host runs the same processes for automated measurements.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
