# Tests of the native build (see cmake/native.cmake), registered by path so
# that one CTest run covers the native and the Windows side.
add_test(NAME engine_text_native COMMAND ${NATIVE_BINARY_DIR}/tests/text_logic_tests)

foreach(fuzzer fuzzCleanExtract fuzzEncodeExpand fuzzDictionary)
    # The dictionary's parsers are small; a short run keeps the suite quick.
    set(seconds ${QUORV_FUZZ_SECONDS})
    if(fuzzer STREQUAL fuzzDictionary AND seconds GREATER 12)
        set(seconds 12)
    endif()
    string(REGEX REPLACE "^fuzz" "" corpus ${fuzzer})
    string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" corpus ${corpus})
    string(TOLOWER ${corpus} corpus)
    add_test(NAME ${fuzzer}_smoke
        COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run-smoke ${NATIVE_BINARY_DIR}/tests/${fuzzer}
                ${CMAKE_SOURCE_DIR}/tests/corpus/${corpus} ${CMAKE_BINARY_DIR}/fuzz-scratch/${fuzzer}
                ${seconds})
    set_tests_properties(${fuzzer}_smoke PROPERTIES TIMEOUT 300)
endforeach()

# Starts the built service on a free port of the loopback interface.
add_test(NAME service_native COMMAND ${NATIVE_BINARY_DIR}/tests/service_tests)
set_tests_properties(service_native PROPERTIES TIMEOUT 120)

# The service's Debian package: contents, lintian, and an installation in a
# throw-away root where it serves through a handed-over socket.
add_test(NAME service_package COMMAND ${CMAKE_SOURCE_DIR}/tests/service/check-package
    ${NATIVE_BINARY_DIR} ${CMAKE_BINARY_DIR}/package-check)
set_tests_properties(service_package PROPERTIES TIMEOUT 240 SKIP_RETURN_CODE 77)

# HAProxy with the package's example configuration in front of two services,
# one killed and one stopped under load (see the script).
add_test(NAME service_balancer COMMAND ${CMAKE_SOURCE_DIR}/tests/service/check-balancer
    ${NATIVE_BINARY_DIR}/service/quorvel-service ${NATIVE_BINARY_DIR}/bench/pool_bench
    ${CMAKE_SOURCE_DIR}/service/packaging/haproxy.cfg ${CMAKE_BINARY_DIR}/balancer-check)
set_tests_properties(service_balancer PROPERTIES TIMEOUT 180)
