# The README's demo, run headless: it must complete the installation.
add_test(NAME e2e_demo COMMAND ${PROJECT_SOURCE_DIR}/demo.sh)
set_tests_properties(e2e_demo PROPERTIES TIMEOUT 900 ENVIRONMENT "TAVRIN_DEMO_AUTO=1" RESOURCE_LOCK package_port)
