# Windows tests run under Wine through tests/wine-run, each in a prefix, HOME
# and X server of its own below the build folder.
set(QUORV_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

# add_wine_test(NAME target LANGUAGE en|de|ja|ru [NETWORK] [NO_TRASH] [ARGS ...])
# ja runs under a Japanese locale, with the double-byte code page 932; ru
# under a Russian one, with code page 1251.
# NETWORK runs the test in a network namespace of its own, where it may
# listen on 127.0.0.1 port 80. NO_TRASH gives the test a HOME in which the
# shell cannot keep a Recycle Bin.
function(add_wine_test name target)
    cmake_parse_arguments(W "NETWORK;NO_TRASH" "LANGUAGE" "ARGS" ${ARGN})
    set(locale_en en_US.UTF-8)
    set(locale_de de_DE.UTF-8)
    set(locale_ja ja_JP.UTF-8)
    set(locale_ru ru_RU.UTF-8)
    add_test(NAME ${name} COMMAND ${target} ${W_ARGS})
    set(env QUORV_WINE_ROOT=${QUORV_WINE_ROOT} QUORV_TEST_NAME=${name} LC_ALL=${locale_${W_LANGUAGE}}
            QUORV_EXPECT_LANGUAGE=${W_LANGUAGE} QUORV_NETNS=$<BOOL:${W_NETWORK}> QUORV_NO_TRASH=$<BOOL:${W_NO_TRASH}>)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300
        FIXTURES_REQUIRED wine_prefix)
endfunction()

add_test(NAME wine_prefix_template COMMAND ${CMAKE_SOURCE_DIR}/tests/wine-run --prepare)
set_tests_properties(wine_prefix_template PROPERTIES
    ENVIRONMENT "QUORV_WINE_ROOT=${QUORV_WINE_ROOT}" FIXTURES_SETUP wine_prefix TIMEOUT 600)

add_executable(text_logic_tests portable/textLogicTests.cpp)
target_link_libraries(text_logic_tests PRIVATE doctest_main text_logic)
add_wine_test(engine_text_wine text_logic_tests LANGUAGE en)

# Two builds of Quorv.exe in which one resource is made to fail.
add_quorv_program(QuorvNoMemory localhost -include ${CMAKE_CURRENT_SOURCE_DIR}/support/faultNoMemory.h)
add_quorv_program(QuorvNoThread localhost -include ${CMAKE_CURRENT_SOURCE_DIR}/support/faultNoThread.h)

# Drives the real Quorv.exe; built beside it, since a test's drive T: is
# its own folder.
add_executable(quorv_driver_tests app/settingsTests.cpp app/mainWindowTests.cpp
    app/translationTests.cpp app/aboutBoxTests.cpp app/resourceTests.cpp app/codePageTests.cpp)
target_link_libraries(quorv_driver_tests PRIVATE iphlpapi)
add_dependencies(quorv_driver_tests Quorv QuorvNoMemory QuorvNoThread menuProbe)
add_wine_test(quorv_en quorv_driver_tests LANGUAGE en NETWORK)
add_wine_test(quorv_de quorv_driver_tests LANGUAGE de NETWORK)
add_wine_test(quorv_ru quorv_driver_tests LANGUAGE ru NETWORK ARGS --test-case=*Windows-1252*)
add_wine_test(quorv_ja quorv_driver_tests LANGUAGE ja NETWORK ARGS --test-case=*Windows-1252*)

# Against the real local service.
add_executable(end_to_end_tests app/endToEndTests.cpp)
add_dependencies(end_to_end_tests Quorv)
add_wine_test(end_to_end_en end_to_end_tests LANGUAGE en NETWORK)
set_property(TEST end_to_end_en APPEND PROPERTY ENVIRONMENT QUORV_SERVICE=${SERVICE_PROGRAM})

foreach(driver quorv_driver_tests end_to_end_tests)
    target_include_directories(${driver} PRIVATE app ${CMAKE_SOURCE_DIR}/translator/resources)
    target_link_libraries(${driver} PRIVATE doctest_main)
    set_target_properties(${driver} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/programs)
endforeach()

# Quorv.exe imports system DLLs only; Setup.exe, which may run from a
# downloads folder, only those that Windows never looks for beside it.
find_program(MINGW_OBJDUMP i686-w64-mingw32-objdump REQUIRED)
add_test(NAME quorv_imports COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MINGW_OBJDUMP}
    -DPROGRAM=$<TARGET_FILE:Quorv> "-DALSO_ALLOWED=VERSION.dll;WSOCK32.DLL"
    -P ${CMAKE_CURRENT_SOURCE_DIR}/checkImports.cmake)

# Setup.exe: its parts inside a test process, and the program itself driven
# from a release folder by a driver that plays the user.
add_executable(setup_unit_tests installer/setupUnitTests.cpp ${SETUP_RESOURCES_RC})
target_link_libraries(setup_unit_tests PRIVATE doctest_main setup_core uuid)
add_wine_test(setup_unit_en setup_unit_tests LANGUAGE en)
add_wine_test(setup_unit_de setup_unit_tests LANGUAGE de ARGS --test-case=dangerous*)
# The trail byte case means something only under a double-byte code page.
add_wine_test(setup_unit_ja setup_unit_tests LANGUAGE ja ARGS "--test-case=*path routines*")

# Beside Setup.exe, where the pilot (see support/CMakeLists.txt) finds it.
add_executable(setup_driver_tests installer/setupDriver.cpp)
target_link_libraries(setup_driver_tests PRIVATE doctest_main setup_pilot)
set_target_properties(setup_driver_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/installer)
add_wine_test(setup_driver_en setup_driver_tests LANGUAGE en ARGS --test-case-exclude=without*)
add_wine_test(setup_driver_no_trash setup_driver_tests LANGUAGE en NO_TRASH
    ARGS --test-case=without*)
add_wine_test(setup_driver_de setup_driver_tests LANGUAGE de ARGS --test-case=*language*)
add_test(NAME setup_imports COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MINGW_OBJDUMP}
    -DPROGRAM=$<TARGET_FILE:Setup> -P ${CMAKE_CURRENT_SOURCE_DIR}/checkImports.cmake)
add_test(NAME release_within_200_kb COMMAND ${CMAKE_COMMAND} -DQUORV=$<TARGET_FILE:Quorv>
    -DSETUP=$<TARGET_FILE:Setup> -DREADME=${CMAKE_SOURCE_DIR}/installer/Readme.txt -DRELEASE=${QUORV_RELEASE}
    -DREADME_WRITER=${CMAKE_SOURCE_DIR}/installer/writeReadme.cmake -DSCRATCH=${CMAKE_BINARY_DIR}
    -P ${CMAKE_CURRENT_SOURCE_DIR}/checkReleaseSize.cmake)
