# The Debian package (make deb). Everything goes under /usr: the program with
# what it finds in its own folder (helpers, settings database, help page,
# sample plug-in and pictures) in /usr/lib/fotello, the command in /usr/bin,
# the menu entry, icon and metainfo in /usr/share. Users cannot write the
# shipped database there: the program keeps their settings in a copy under
# $XDG_CONFIG_HOME/fotello.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fotello)
set(CPACK_PACKAGE_VENDOR "Equipe Fotello")
set(CPACK_PACKAGE_CONTACT "Equipe Fotello <fotello@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "navegador, visualizador e organizador de imagens")
set(CPACK_PACKAGE_DESCRIPTION
    "O Fotello mostra a árvore de pastas, as miniaturas da pasta escolhida e a\n"
    "imagem selecionada; apresenta slides, amplia, converte, imprime e aplica\n"
    "efeitos a fotos BMP, JPEG, GIF, ICO e WMF.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/fotello/fotello)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link tells: the metafile helper's Type 1 fonts, the SVG
# icon theme and its reader, the desktop's "open with" and mail commands.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-urw-base35, breeze-icon-theme, libqt6svg6, xdg-utils")
include(CPack)
