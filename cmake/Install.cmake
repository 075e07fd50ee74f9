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

# The first packaging of each version: a Debian revision of its own, so the
# package's changelog is changelog.Debian.gz.
set(LINECAST_DEBIAN_REVISION 1)

# The day of the week of the build date, for the changelog (Zeller's
# congruence: 0 is Saturday).
math(EXPR _month "${LINECAST_BUILD_MONTH}")
math(EXPR _year "${LINECAST_BUILD_YEAR}")
if(_month LESS 3)
    math(EXPR _month "${_month} + 12")
    math(EXPR _year "${_year} - 1")
endif()
math(EXPR _weekday "(${LINECAST_BUILD_DAY} + 13 * (${_month} + 1) / 5 + ${_year} % 100 \
                    + ${_year} % 100 / 4 + ${_year} / 400 + 5 * (${_year} / 100)) % 7")
set(_weekdays Sat Sun Mon Tue Wed Thu Fri)
list(GET _weekdays ${_weekday} _weekday)
set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
math(EXPR _month_index "${LINECAST_BUILD_MONTH} - 1")
list(GET _months ${_month_index} _month_name)
set(LINECAST_CHANGELOG_DATE
    "${_weekday}, ${LINECAST_BUILD_DAY} ${_month_name} ${LINECAST_BUILD_YEAR} 00:00:00 +0000")

# The manual pages and the changelog go out compressed, as Debian has them.
set(_docs "")
foreach(_in IN ITEMS linecast-cli.1 linecast.1 debian/changelog)
    get_filename_component(_name ${_in} NAME)
    if(_name STREQUAL "changelog")
        set(_name changelog.Debian)
    endif()
    configure_file(${CMAKE_SOURCE_DIR}/data/${_in}.in ${CMAKE_BINARY_DIR}/generated/${_name} @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/generated/${_name}.gz
                       COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/generated/${_name}
                       DEPENDS ${CMAKE_BINARY_DIR}/generated/${_name})
    list(APPEND _docs ${CMAKE_BINARY_DIR}/generated/${_name}.gz)
endforeach()
add_custom_target(linecast_docs ALL DEPENDS ${_docs})
install(FILES ${CMAKE_BINARY_DIR}/generated/linecast-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright
              ${CMAKE_BINARY_DIR}/generated/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/linecast)
# What lintian is told to let pass, each with its reason.
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME linecast)

if(LINECAST_BUILD_GUI)
    install(TARGETS linecast RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_BINARY_DIR}/generated/linecast.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
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
set(CPACK_DEBIAN_PACKAGE_RELEASE ${LINECAST_DEBIAN_REVISION})
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
# The toolkit's own words (its dialogs and grids) come translated from
# wx3.2-i18n; an https update server is checked against ca-certificates.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wx3.2-i18n, ca-certificates")
set(CPACK_GENERATOR DEB)
include(CPack)
