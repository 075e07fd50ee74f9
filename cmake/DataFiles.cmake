# Places the data the programs read relative to their folder beside them in
# ${LINECAST_DIST_DIR}. The programs never write there: the window keeps its
# rules in a per-user copy made from this one.
set(_dist_rules ${LINECAST_DIST_DIR}/conf/conf.xml)
add_custom_command(OUTPUT ${_dist_rules}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/conf/conf.xml ${_dist_rules}
    DEPENDS ${CMAKE_SOURCE_DIR}/conf/conf.xml
    COMMENT "Placing the shipped rules file")

# Report templates and other read-only files of conf/ other than the rules.
set(LINECAST_CONF_FILES report_tpl.html quorvel_index.html)

set(_copy_conf "")
foreach(f IN LISTS LINECAST_CONF_FILES)
    list(APPEND _copy_conf COMMAND ${CMAKE_COMMAND} -E copy_if_different
         ${CMAKE_SOURCE_DIR}/conf/${f} ${LINECAST_DIST_DIR}/conf/${f})
endforeach()

add_custom_target(linecast_data ALL
    DEPENDS ${_dist_rules}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/img ${LINECAST_DIST_DIR}/img
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/locales ${LINECAST_DIST_DIR}/locales
    ${_copy_conf}
    VERBATIM)
