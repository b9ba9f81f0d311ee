# The libraries of the project and which of them each may link: dependencies point one way.
#
#   vt_check_links(<target> MAY <targets...> [QT <Qt modules...>] [SYSTEM <targets...>])
#
# Fails the configuration when <target> links a project library that is not named after MAY, or,
# when QT is given, a Qt module that is not named there (Qt6::Core and so on), or, when SYSTEM is
# given, another imported library (SQLite::SQLite3 and so on) that is not named there. Without
# SYSTEM the system's libraries are not looked at. Run once every target exists.
#
# The program is in parts (app/CMakeLists.txt), which are project libraries like the others.
set(VT_APP_PARTS
    vtapp_opentree vtapp_startup vtapp_dialogs vtapp_help vtapp_shared vtapp_gedcom vtapp_chart
    vtapp_cli vtapp_merge vtapp_mainwindow)
set(VT_PROJECT_LIBRARIES
    vtrecord vtgenealogy vtstore vtgedcom vttreecopy vtcommon vtsafefile vttreechart Pixtile vtlifespan
    vteditor vtapp vttestsupport ${VT_APP_PARTS})

function(vt_check_links target)
    cmake_parse_arguments(ARG "" "" "MAY;QT;SYSTEM" ${ARGN})
    if(NOT TARGET ${target})
        message(FATAL_ERROR "vt_check_links: no target ${target}")
    endif()
    get_target_property(type ${target} TYPE)
    set(links "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(direct ${target} LINK_LIBRARIES)
        if(direct)
            list(APPEND links ${direct})
        endif()
    endif()
    get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
    if(interface)
        list(APPEND links ${interface})
    endif()
    foreach(link ${links})
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(link IN_LIST VT_PROJECT_LIBRARIES AND NOT link IN_LIST ARG_MAY)
            message(FATAL_ERROR "${target} may not link ${link}: it may link ${ARG_MAY}")
        endif()
        if(ARG_QT AND link MATCHES "^Qt6?::" AND NOT link IN_LIST ARG_QT)
            message(FATAL_ERROR "${target} may not link ${link}: of Qt it may link ${ARG_QT}")
        endif()
        if(ARG_SYSTEM AND link MATCHES "::" AND NOT link MATCHES "^Qt6?::"
           AND NOT link IN_LIST ARG_SYSTEM)
            message(FATAL_ERROR "${target} may not link ${link}: of the system's libraries it "
                                "may link ${ARG_SYSTEM}")
        endif()
    endforeach()
endfunction()

# The layers, from the bottom: the store and the GEDCOM library know nothing of windows; the chart
# and Pixtile know nothing of persons' storage; the program sits on top.
function(vt_check_layers)
    vt_check_links(vtrecord MAY "" QT Qt6::Core)
    vt_check_links(vtgenealogy MAY vtrecord QT Qt6::Core)
    vt_check_links(vtstore MAY vtrecord vtgenealogy QT Qt6::Core Qt6::Sql SYSTEM SQLite::SQLite3
        PostgreSQL::PostgreSQL)
    # Replacing files safely: Qt Core alone, below every library that writes files.
    vt_check_links(vtsafefile MAY "" QT Qt6::Core)
    vt_check_links(vtgedcom MAY vtgenealogy vtstore vtrecord vtsafefile QT Qt6::Core
        SYSTEM PkgConfig::LIBZIP)
    # Copying trees between stores: the store, and the GEDCOM library's way of making keys free.
    vt_check_links(vttreecopy MAY vtstore vtrecord vtgedcom vtgenealogy QT Qt6::Core)
    vt_check_links(vtlifespan MAY vtstore vtrecord QT Qt6::Core)
    vt_check_links(vtcommon MAY "")
    vt_check_links(vttreechart MAY vtcommon vtgenealogy vtsafefile vtrecord)
    vt_check_links(Pixtile MAY vtcommon vtsafefile)
    vt_check_links(vteditor MAY vtlifespan vttreechart Pixtile vtstore vtrecord vtcommon)
    vt_check_app_parts()
    # Test fakes are for the tests: no library of the product may link them.
    if(TARGET vttestsupport)
        vt_check_links(vttestsupport MAY vtcommon)
    endif()
endfunction()

# The parts of the program, from the bottom. The owner of the open tree and the tree list need no
# window of the program; start-up reaches the main window only through the interface it states
# (StartupWindow); the commands of the GEDCOM and chart parts reach the open tree, the tree list
# and the message service, never the main window. Only the main window and the command line sit
# on top; nothing links them but the executable (and `vtapp`, the tests' bundle of every part).
function(vt_check_app_parts)
    vt_check_links(vtapp_opentree MAY vttreechart vtstore vtgenealogy vtrecord vtcommon
        vtsafefile)
    vt_check_links(vtapp_startup MAY vtstore vtrecord vtcommon)
    vt_check_links(vtapp_dialogs MAY vtstore vtrecord vtcommon)
    vt_check_links(vtapp_help MAY vtcommon)
    # The shared database's helpers: the keyring and copying trees, below the main window.
    vt_check_links(vtapp_shared MAY vtapp_opentree vtapp_dialogs vttreecopy vtstore vtrecord
        vtcommon vtsafefile)
    vt_check_links(vtapp_gedcom MAY vtapp_opentree vtapp_dialogs vtgedcom vtstore vtrecord
        vtcommon vtsafefile)
    vt_check_links(vtapp_chart MAY vtapp_opentree vttreechart vtlifespan vtstore vtrecord vtcommon
        vtsafefile)
    vt_check_links(vtapp_cli MAY vtapp_startup vtapp_gedcom vtapp_opentree vttreechart vtgedcom
        vttreecopy vtlifespan vtstore vtrecord vtcommon vtsafefile)
    vt_check_links(vtapp_merge MAY vtapp_opentree vttreechart vtstore vtgenealogy vtrecord
        vtcommon vtsafefile)
    vt_check_links(vtapp_mainwindow MAY vtapp_startup vtapp_opentree vtapp_dialogs vtapp_help
        vtapp_shared vtapp_gedcom vtapp_chart vtapp_merge vteditor vtlifespan vttreechart Pixtile vtgedcom
        vtstore vtrecord vtcommon vtsafefile)
    vt_check_links(vtapp MAY ${VT_APP_PARTS})
endfunction()
