# `cmake --install <build> [--prefix DIR]`: the program with its database
# folder under lib/ltyquote, a command in bin, the menu entry and its icon
# under share. The database is made only where none exists yet, so an
# installation over an older one keeps every project.
include(GNUInstallDirs)

set(LTY_INSTALL_APPDIR ${CMAKE_INSTALL_LIBDIR}/ltyquote)

install(TARGETS ltyquote RUNTIME DESTINATION ${LTY_INSTALL_APPDIR})
install(FILES ${PROJECT_SOURCE_DIR}/ui/resources/pictures/ltyquote.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The paths depend on the prefix chosen at install time, so these are made
# then, not at configure time.
set(LTY_INSTALL_CODE [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(appdir "${CMAKE_INSTALL_PREFIX}/@LTY_INSTALL_APPDIR@")
  file(MAKE_DIRECTORY "${root}/@LTY_INSTALL_APPDIR@/Data" "${root}/@CMAKE_INSTALL_BINDIR@"
       "${root}/@CMAKE_INSTALL_DATADIR@/applications")
  execute_process(
    COMMAND "$<TARGET_FILE:lty_make_db>" --if-absent
            --schema "@PROJECT_SOURCE_DIR@/core/data/schema.sql"
            --rows "@PROJECT_SOURCE_DIR@/core/data/first_rows.sql"
            --out "${root}/@LTY_INSTALL_APPDIR@/Data/LTY.db"
    RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "Could not create the database in ${root}/@LTY_INSTALL_APPDIR@/Data")
  endif()
  message(STATUS "Database: ${root}/@LTY_INSTALL_APPDIR@/Data/LTY.db (kept when it existed)")
  file(CREATE_LINK "../@LTY_INSTALL_APPDIR@/ltyquote" "${root}/@CMAKE_INSTALL_BINDIR@/ltyquote" SYMBOLIC)
  file(WRITE "${root}/@CMAKE_INSTALL_DATADIR@/applications/ltyquote.desktop"
"[Desktop Entry]
Type=Application
Name=岚庭雅装饰报价
GenericName=装饰工程报价
Comment=装饰工程报价与打印
Exec=${appdir}/ltyquote
Path=${appdir}
Icon=ltyquote
Terminal=false
Categories=Office;Finance;
")
  message(STATUS "Menu entry: ${root}/@CMAKE_INSTALL_DATADIR@/applications/ltyquote.desktop")
]])
string(CONFIGURE "${LTY_INSTALL_CODE}" LTY_INSTALL_CODE @ONLY)
install(CODE "${LTY_INSTALL_CODE}")
