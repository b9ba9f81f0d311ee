# vt_add_qtest(<name> SOURCES <files...> LIBS <targets...>)
# Builds one Qt Test executable and registers it with CTest, headless.
function(vt_add_qtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        # The thumbnail cache of a test goes to the build tree, never to the user's own; the
        # session bus is one that is not there, so that no test reaches the user's keyring.
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false;XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/test-cache;DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_BINARY_DIR}/no-session-bus"
        TIMEOUT 300)
endfunction()
