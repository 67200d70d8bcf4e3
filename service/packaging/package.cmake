# The service as a Debian package: the program under /usr/sbin, its systemd
# socket and service units, a man page and /etc/default/quorvel-service.
# "cmake --build . --target package" here (or "package-service" in the
# Windows build) writes quorvel-service_VERSION_ARCH.deb.
set(PACKAGING ${CMAKE_CURRENT_LIST_DIR})

# The package carries the version of the programs it serves.
set(QUORVEL_VERSION ${PROJECT_VERSION})

file(STRINGS ${PACKAGING}/runtime-packages runtimePackages REGEX "^[a-z0-9]")
list(TRANSFORM runtimePackages REPLACE " .*" "")
list(JOIN runtimePackages ", " runtimeDepends)

# Debian's hardening for a network daemon.
set_target_properties(quorvel-service service_core text_logic_plain PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_compile_options(quorvel-service PRIVATE -fstack-protector-strong -D_FORTIFY_SOURCE=2)
target_compile_definitions(quorvel-service PRIVATE QUORVEL_VERSION="${QUORVEL_VERSION}")
target_compile_options(service_core PRIVATE -fstack-protector-strong -D_FORTIFY_SOURCE=2)
target_link_options(quorvel-service PRIVATE -pie -Wl,-z,relro,-z,now)

set(docs ${CMAKE_CURRENT_BINARY_DIR}/package-docs)
configure_file(${PACKAGING}/quorvel-service.8 ${docs}/quorvel-service.8 @ONLY)
configure_file(${PACKAGING}/changelog ${docs}/changelog @ONLY)
add_custom_command(OUTPUT ${docs}/quorvel-service.8.gz ${docs}/changelog.gz
    COMMAND gzip -9nkf ${docs}/quorvel-service.8 ${docs}/changelog
    DEPENDS ${docs}/quorvel-service.8 ${docs}/changelog)
add_custom_target(service_package_docs ALL DEPENDS ${docs}/quorvel-service.8.gz ${docs}/changelog.gz)

install(TARGETS quorvel-service RUNTIME DESTINATION usr/sbin)
install(FILES ${PACKAGING}/quorvel-service.service ${PACKAGING}/quorvel-service.socket
    DESTINATION lib/systemd/system)
install(FILES ${PACKAGING}/default DESTINATION etc/default RENAME quorvel-service)
install(FILES ${docs}/quorvel-service.8.gz DESTINATION usr/share/man/man8)
install(FILES ${PACKAGING}/copyright ${docs}/changelog.gz DESTINATION usr/share/doc/quorvel-service)
install(FILES ${PACKAGING}/haproxy.cfg ${PACKAGING}/nginx-site.conf
    DESTINATION usr/share/doc/quorvel-service/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvel-service)
set(CPACK_PACKAGE_VERSION ${QUORVEL_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_PACKAGE_CONTACT "Velmora <support@velmora.example>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velmora <support@velmora.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.velmora.example")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translation service for the Quorvel desktop translator")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quorv.exe, the Quorvel translator for Windows, sends each text as one
HTTP/1.0 request to a translation service. This package runs that service
on a Linux server for the desktops of an office: English to and from
French, Italian, Portuguese and Spanish with Apertium, German from the
FreeDict dictionaries. It listens on port 80 through a systemd socket and
runs as an unprivileged dynamic user.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${runtimeDepends}")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PACKAGING}/conffiles ${PACKAGING}/postinst ${PACKAGING}/prerm
    ${PACKAGING}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
