# The Windows programs, their tests under Wine, and the native side built
# alongside as an external project so that one CTest run covers both.
enable_language(RC)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tests/wine-run)
set(CMAKE_CXX_STANDARD 17)

# The version as the resource scripts and the manifests read it, and the
# short form that users know (major, a dot, minor and patch) for them and the
# readme.
set(QUORV_RELEASE ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH})
set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(cmake/version.h.in ${GENERATED_DIR}/version.h @ONLY)
configure_file(translator/resources/Quorv.manifest.in ${GENERATED_DIR}/Quorv.manifest @ONLY)
configure_file(installer/resources/setup.manifest.in ${GENERATED_DIR}/setup.manifest @ONLY)
include_directories(${GENERATED_DIR})

# Shipped programs: no exceptions, no RTTI, no C++ library at run time.
set(WINDOWS_PROGRAM_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -Wall -Wextra -Wno-cast-function-type)
set(WINDOWS_LINK_FLAGS -static -static-libgcc -s -Wl,--gc-sections)
# The tests and their helpers.
set(WINDOWS_TEST_FLAGS -O1 -Wall -Wextra -DDOCTEST_CONFIG_NO_MULTITHREADING)

# The native build, and where it puts the service: the tests that run it
# take it from here, the scripts from build/service-program.
set(NATIVE_BINARY_DIR ${CMAKE_BINARY_DIR}/native)
set(SERVICE_PROGRAM ${NATIVE_BINARY_DIR}/service/quorvel-service)
file(WRITE ${CMAKE_BINARY_DIR}/service-program "${SERVICE_PROGRAM}\n")

add_subdirectory(translator)
add_subdirectory(installer)
add_subdirectory(tests)
add_subdirectory(bench)
add_subdirectory(scripts/screenshots)

include(ExternalProject)
find_program(NATIVE_CXX NAMES clang++ clang++-14 REQUIRED)
find_program(NATIVE_CC NAMES clang clang-14 REQUIRED)
ExternalProject_Add(native
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${NATIVE_BINARY_DIR}
    CMAKE_ARGS -DCMAKE_C_COMPILER=${NATIVE_CC} -DCMAKE_CXX_COMPILER=${NATIVE_CXX}
               -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DQUORV_SERVICE_HOST=${QUORV_SERVICE_HOST}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    USES_TERMINAL_BUILD ON)
add_custom_target(package-service
    COMMAND cpack -G DEB --config ${NATIVE_BINARY_DIR}/CPackConfig.cmake -B ${CMAKE_BINARY_DIR}/package
    DEPENDS native USES_TERMINAL)
include(${CMAKE_SOURCE_DIR}/tests/nativeTests.cmake)
