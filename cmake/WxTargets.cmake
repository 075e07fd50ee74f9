# Imports wxWidgets as two interface targets through wx-config, so that the
# core library can link the non-GUI parts alone and the tests of the engine
# never pull in GTK.
find_program(WX_CONFIG_EXECUTABLE NAMES wx-config wx-config-3.2 REQUIRED)

function(linecast_import_wx target components)
    execute_process(COMMAND ${WX_CONFIG_EXECUTABLE} --cxxflags ${components}
                    OUTPUT_VARIABLE _cxx OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${WX_CONFIG_EXECUTABLE} --libs ${components}
                    OUTPUT_VARIABLE _libs OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_cxx UNIX_COMMAND "${_cxx}")
    separate_arguments(_libs UNIX_COMMAND "${_libs}")
    set(_defs "")
    set(_incs "")
    set(_opts "")
    foreach(flag IN LISTS _cxx)
        if(flag MATCHES "^-D(.*)")
            list(APPEND _defs "${CMAKE_MATCH_1}")
        elseif(flag MATCHES "^-I(.*)")
            list(APPEND _incs "${CMAKE_MATCH_1}")
        else()
            list(APPEND _opts "${flag}")
        endif()
    endforeach()
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
        INTERFACE_COMPILE_DEFINITIONS "${_defs}"
        INTERFACE_INCLUDE_DIRECTORIES "${_incs}"
        INTERFACE_COMPILE_OPTIONS "${_opts}"
        INTERFACE_LINK_LIBRARIES "${_libs}")
endfunction()

linecast_import_wx(wx::base "base,xml,net")
linecast_import_wx(wx::gui "aui,propgrid,html,adv,core,base,xml,net")
