# Places the data the programs read relative to their folder beside them in
# ${LINECAST_DIST_DIR}. The programs never write there: the window keeps its
# rules in a per-user copy made from this one.
set(_dist_rules ${LINECAST_DIST_DIR}/conf/conf.xml)
add_custom_command(OUTPUT ${_dist_rules}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/conf/conf.xml ${_dist_rules}
    DEPENDS ${CMAKE_SOURCE_DIR}/conf/conf.xml
    COMMENT "Placing the shipped rules file")

# Report templates and other read-only files of conf/ other than the rules,
# relative to conf/: a template translated into a language lies in the
# folder named after it, where the report looks for the window's language.
set(LINECAST_CONF_FILES report_tpl.html quorvel_index.html
    ja/report_tpl.html ja/quorvel_index.html
    zh_CN/report_tpl.html zh_CN/quorvel_index.html)

set(_copy_conf "")
foreach(f IN LISTS LINECAST_CONF_FILES)
    get_filename_component(_conf_dir ${LINECAST_DIST_DIR}/conf/${f} DIRECTORY)
    list(APPEND _copy_conf COMMAND ${CMAKE_COMMAND} -E make_directory ${_conf_dir}
         COMMAND ${CMAKE_COMMAND} -E copy_if_different
         ${CMAKE_SOURCE_DIR}/conf/${f} ${LINECAST_DIST_DIR}/conf/${f})
endforeach()

# The interface languages besides English. Each catalog is compiled to
# locales/<lang>/Linecast.mo, where the window's locale set-up looks for the
# language's canonical name. --check refuses a translation that breaks a
# format or drops a line break or an "&" accelerator of its English text.
set(LINECAST_LANGUAGES ja zh_CN)
file(MAKE_DIRECTORY ${LINECAST_DIST_DIR}/locales)
find_program(LINECAST_MSGFMT msgfmt)
if(NOT LINECAST_MSGFMT AND LINECAST_BUILD_GUI)
    message(FATAL_ERROR "msgfmt not found: install gettext (bash scripts/dev setup)")
endif()
set(_catalogs "")
if(LINECAST_MSGFMT)
    foreach(lang IN LISTS LINECAST_LANGUAGES)
        set(_po ${CMAKE_SOURCE_DIR}/locales/${lang}/Linecast.po)
        set(_mo ${LINECAST_DIST_DIR}/locales/${lang}/Linecast.mo)
        add_custom_command(OUTPUT ${_mo}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${LINECAST_DIST_DIR}/locales/${lang}
            COMMAND ${LINECAST_MSGFMT} --check --check-accelerators=& -o ${_mo} ${_po}
            DEPENDS ${_po}
            COMMENT "Compiling the ${lang} message catalog"
            VERBATIM)
        list(APPEND _catalogs ${_mo})
    endforeach()
endif()

add_custom_target(linecast_data ALL
    DEPENDS ${_dist_rules} ${_catalogs}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/img ${LINECAST_DIST_DIR}/img
    ${_copy_conf}
    VERBATIM)
