# The Debian package: `cmake --build build --target package` makes
# tallvane_<version>_amd64.deb. The programs go to /usr/lib/tallvane, which
# users cannot write to: the program then keeps its settings in
# ~/.config/Tallvane and copies the shipped database from /usr/share/tallvane.

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(TALLVANE_PACKAGING_SOURCE ${CMAKE_CURRENT_LIST_DIR}/../packaging)
set(TALLVANE_PACKAGING_BUILD ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${TALLVANE_PACKAGING_BUILD})

# Debian wants the changelog and the manual page compressed, without a
# time stamp inside so that two builds give the same bytes.
find_program(TALLVANE_GZIP gzip REQUIRED)
foreach(page changelog tallvane.1)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TALLVANE_PACKAGING_SOURCE}/${page})
    execute_process(COMMAND ${TALLVANE_GZIP} -9nc ${TALLVANE_PACKAGING_SOURCE}/${page}
                    OUTPUT_FILE ${TALLVANE_PACKAGING_BUILD}/${page}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# /usr/bin/tallvane: the program, found through a relative link so that an
# unpacked copy of the package runs too.
file(CREATE_LINK ../lib/tallvane/Ferrune ${TALLVANE_PACKAGING_BUILD}/tallvane SYMBOLIC)

install(TARGETS Ferrune LecteurAccess RUNTIME DESTINATION lib/tallvane)
if(TARGET Remisa)
    install(TARGETS Remisa RUNTIME DESTINATION lib/tallvane)
endif()
install(TARGETS tallvane-web RUNTIME DESTINATION lib/tallvane)
# The web service's unit, installed but not enabled, and its settings.
install(FILES ${TALLVANE_PACKAGING_SOURCE}/tallvane-web.service DESTINATION /lib/systemd/system)
install(FILES ${TALLVANE_PACKAGING_SOURCE}/tallvane-web.default DESTINATION /etc/default RENAME tallvane-web)
install(FILES ${TALLVANE_PACKAGING_BUILD}/tallvane DESTINATION bin)
install(FILES "${TALLVANE_SHIPPED_DB}" DESTINATION share/tallvane)
install(FILES ${TALLVANE_PACKAGING_SOURCE}/org.tallvane.Tallvane.desktop DESTINATION share/applications)
install(FILES ${TALLVANE_PACKAGING_SOURCE}/org.tallvane.Tallvane.metainfo.xml DESTINATION share/metainfo)
install(FILES ${TALLVANE_PACKAGING_SOURCE}/tallvane.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${TALLVANE_PACKAGING_BUILD}/tallvane.1.gz DESTINATION share/man/man1)
install(FILES ${TALLVANE_PACKAGING_SOURCE}/copyright ${TALLVANE_PACKAGING_BUILD}/changelog.gz
        DESTINATION share/doc/tallvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tallvane <contact@tallvane.fr>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tallvane <contact@tallvane.fr>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "medical visits agenda of a doctor's practice
Tallvane keeps, for each doctor of a practice, a month agenda of the visits
of pharmaceutical laboratories' delegates, checks each appointment against
the practice's rules, and keeps a record of every laboratory and of the
products presented at each visit. Several workstations may share one data
folder. The user interface is in French.")
# Libraries found by dpkg-shlibdeps (SQLite and libpq among them), plus the
# Qt plugins the program loads at run time: the icons, the window system and
# the French texts of Qt's own dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins, qt6-translations-l10n, adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TALLVANE_PACKAGING_SOURCE}/postinst ${TALLVANE_PACKAGING_SOURCE}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
