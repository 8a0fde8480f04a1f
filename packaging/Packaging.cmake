# The Debian package of the suite: every program of the front desk under /usr/lib/tesaro,
# deskmain, tesaro and deskadmin on the path, the data folder made by the maintainer
# scripts. Developer tools and test programs stay out.
#
#   cmake --build build --target package      → build/tesaro_<version>_<arch>.deb

include(GNUInstallDirs)

set(DESK_PKG_DIR ${CMAKE_CURRENT_LIST_DIR})
set(DESK_PKG_BUILD ${CMAKE_BINARY_DIR}/packaging)
set(DESK_PKG_LIBDIR lib/tesaro)

# The programs a user reaches: the main menu, deskadmin and the task programs the menu opens.
install(TARGETS deskmain deskadmin ${DESK_MODULES} RUNTIME DESTINATION ${DESK_PKG_LIBDIR})

# deskmain reads DPath.txt beside itself: the package's names /var/lib/tesaro/.
install(FILES ${DESK_PKG_DIR}/DPath.txt DESTINATION ${DESK_PKG_LIBDIR})

# /usr/bin entries are links into /usr/lib/tesaro (deskmain finds its folder through the
# real path of the running program).
file(MAKE_DIRECTORY ${DESK_PKG_BUILD}/bin ${DESK_PKG_BUILD}/man)
foreach(link deskmain tesaro deskadmin)
    set(target ../lib/tesaro/${link})
    if(link STREQUAL "tesaro")
        set(target ../lib/tesaro/deskmain)
    endif()
    file(CREATE_LINK ${target} ${DESK_PKG_BUILD}/bin/${link} SYMBOLIC)
    install(FILES ${DESK_PKG_BUILD}/bin/${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# Manual pages and the changelog, compressed without time stamps as Debian wants them.
find_program(DESK_GZIP gzip REQUIRED)
foreach(page deskmain deskadmin)
    execute_process(COMMAND ${DESK_GZIP} -9nc ${DESK_PKG_DIR}/man/${page}.1
                    OUTPUT_FILE ${DESK_PKG_BUILD}/man/${page}.1.gz)
    install(FILES ${DESK_PKG_BUILD}/man/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
file(CREATE_LINK deskmain.1.gz ${DESK_PKG_BUILD}/man/tesaro.1.gz SYMBOLIC)
install(FILES ${DESK_PKG_BUILD}/man/tesaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
execute_process(COMMAND ${DESK_GZIP} -9nc ${DESK_PKG_DIR}/debian/changelog
                OUTPUT_FILE ${DESK_PKG_BUILD}/changelog.gz)
install(FILES ${DESK_PKG_BUILD}/changelog.gz ${DESK_PKG_DIR}/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/tesaro)

# Desktop entry and icon.
install(FILES ${DESK_PKG_DIR}/tesaro.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${DESK_PKG_DIR}/icons/tesaro.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
    install(FILES ${DESK_PKG_DIR}/icons/tesaro-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME tesaro.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesaro)
set(CPACK_PACKAGE_VENDOR "Tesaro developers")
set(CPACK_PACKAGE_CONTACT "Tesaro developers <dev@tesaro.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}.0)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "front-desk suite of a small Japanese inn")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesaro (テサロさん) books rooms, checks guests in, rings up meals, drinks\nand services, takes payments and deposits, prints the bill at check-out\nand prints period aggregations. Its screens speak Japanese. The data of\nthe inn lives in /var/lib/tesaro, writable by the members of the group\ntesaro.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Shared-library dependencies are read off the binaries; the database drivers are Qt
# plug-ins and the fonts are data, so they are named here. The database server itself is for
# the one machine of an inn with several desks that keeps the data.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, fonts-noto-cjk, libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "postgresql")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${DESK_PKG_DIR}/debian/postinst ${DESK_PKG_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
