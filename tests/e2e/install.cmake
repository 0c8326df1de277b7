# The whole program under Wine: packages served from a loopback server, the
# installer's message boxes answered by the UI driver, the prefix checked after.
add_test(NAME e2e_install COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/install.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
set_tests_properties(e2e_install PROPERTIES TIMEOUT 1500 RESOURCE_LOCK package_port)
