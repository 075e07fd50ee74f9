# What `cmake --install` puts under the prefix: the programs in bin/, their
# read-only data in share/linecast/ (where they look for it from bin/), and
# what a Linux desktop needs to list, show and document them.
include(GNUInstallDirs)
set(LINECAST_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/linecast)

install(TARGETS linecast-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/conf/conf.xml DESTINATION ${LINECAST_INSTALL_DATADIR}/conf)
# Each in its folder below conf/, the language variants of the templates too.
foreach(f IN LISTS LINECAST_CONF_FILES)
    get_filename_component(_conf_subdir conf/${f} DIRECTORY)
    install(FILES ${CMAKE_SOURCE_DIR}/conf/${f}
            DESTINATION ${LINECAST_INSTALL_DATADIR}/${_conf_subdir})
endforeach()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/img/ DESTINATION ${LINECAST_INSTALL_DATADIR}/img
        FILES_MATCHING PATTERN "*.png" PATTERN "*.jpg" PATTERN "*.ico")
# The catalogs the build compiled into its program folder, whichever exist.
install(DIRECTORY ${LINECAST_DIST_DIR}/locales/ DESTINATION ${LINECAST_INSTALL_DATADIR}/locales
        FILES_MATCHING PATTERN "*.mo")

configure_file(${CMAKE_SOURCE_DIR}/data/linecast-cli.1.in
               ${CMAKE_BINARY_DIR}/generated/linecast-cli.1 @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/linecast-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(LINECAST_BUILD_GUI)
    install(TARGETS linecast RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_SOURCE_DIR}/data/org.quorvel.linecast.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # Drawn once at each size and kept in the repository (see img/SOURCES.md).
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/icons/hicolor
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
    configure_file(${CMAKE_SOURCE_DIR}/data/org.quorvel.linecast.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/generated/org.quorvel.linecast.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/generated/org.quorvel.linecast.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# `cpack -G DEB` in a release build (scripts/dev package) makes the Debian
# package from the rules above.
set(CPACK_PACKAGE_NAME linecast)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvel)
set(CPACK_PACKAGE_CONTACT "Quorvel <${LINECAST_CONTACT_ADDRESS}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "count and analyse source code lines")
set(CPACK_PACKAGE_INSTALL_DIRECTORY linecast)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quorvel.example.org/")
set(CPACK_PACKAGE_DESCRIPTION
    "Linecast counts code, comment, code-and-comment and blank lines of source
files per file, folder, file type and in total, and estimates effort, cost,
test cases and defects from them. The window program is linecast; the same
counts come from a terminal with linecast-cli.")
# The run-time libraries come from what the programs actually link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening a listed file or folder goes through xdg-open; the toolkit's own
# words (its dialogs and grids) come translated from wx3.2-i18n.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, wx3.2-i18n")
set(CPACK_GENERATOR DEB)
include(CPack)
