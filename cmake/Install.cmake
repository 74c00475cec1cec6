# `cmake --install build --prefix PREFIX` lays the programs out as the client
# expects to find its resources: next to the executables (AppPath) and in the
# folder above them (ParentPath). Everything lives below PREFIX/lib/kelpo; the
# launcher is linked into PREFIX/bin, and the desktop entry and icon go where
# desktops look for them.
#
#   PREFIX/lib/kelpo/bin/   kelpo, kelpo-room, kelpo-launcher, shop-catalogue.txt, Res/, res/, MeChatWeb.htm
#   PREFIX/lib/kelpo/       res/, UserRes/, DaoJuMaket/
#   PREFIX/bin/kelpo-launcher -> ../lib/kelpo/bin/kelpo-launcher
#   PREFIX/share/applications/kelpo.desktop
#   PREFIX/share/icons/hicolor/128x128/apps/kelpo.png

set(KELPO_INSTALL_HOME lib/kelpo)
install(TARGETS kelpo kelpo-room kelpo-launcher RUNTIME DESTINATION ${KELPO_INSTALL_HOME}/bin)
# The server looks for the shop's catalogue beside itself.
install(FILES server/shop-catalogue.txt DESTINATION ${KELPO_INSTALL_HOME}/bin)

# The pack is drawn straight into place by the generator the build used, so
# the installed files are the ones the build tree holds, and nothing lists
# them twice. The desktop entry names the installed launcher by its full path.
install(CODE [[
  set(home "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/kelpo")
  set(share "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share")
  file(MAKE_DIRECTORY "${share}/icons/hicolor/128x128/apps" "${share}/applications")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            "$<TARGET_FILE:kelpo-resgen>" --app "${home}/bin" --parent "${home}"
            --icon "${share}/icons/hicolor/128x128/apps/kelpo.png"
    RESULT_VARIABLE drawn)
  if(NOT drawn EQUAL 0)
    message(FATAL_ERROR "kelpo-resgen could not draw the resource pack into ${home}")
  endif()
  message(STATUS "Installing: resource pack in ${home}")
  file(MAKE_DIRECTORY "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(CREATE_LINK "../lib/kelpo/bin/kelpo-launcher" "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin/kelpo-launcher"
       SYMBOLIC)
  file(WRITE "${share}/applications/kelpo.desktop" "[Desktop Entry]
Type=Application
Name=Kelpo
Name[zh_CN]=升级
Comment=Six-seat climbing card game
Comment[zh_CN]=六人升级牌桌
Exec=${CMAKE_INSTALL_PREFIX}/lib/kelpo/bin/kelpo-launcher
Icon=kelpo
Terminal=false
Categories=Game;CardGame;
")
  message(STATUS "Installing: ${share}/applications/kelpo.desktop")
]])
