# The icon's PNG sizes, drawn from its SVG at build time (through Qt's SVG
# image plug-in), installed with it into the hicolor theme.
add_executable(fotello-icon-png ${CMAKE_CURRENT_LIST_DIR}/icon_png.cpp)
target_link_libraries(fotello-icon-png PRIVATE Qt6::Gui)

set(FOTELLO_ICON_SVG ${CMAKE_SOURCE_DIR}/data/icons/fotello.svg)
set(FOTELLO_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(FOTELLO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(icon_pngs)
foreach(size ${FOTELLO_ICON_SIZES})
  list(APPEND icon_pngs ${FOTELLO_ICON_DIR}/${size}x${size}/apps/fotello.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_pngs}
  COMMAND fotello-icon-png ${FOTELLO_ICON_SVG} ${FOTELLO_ICON_DIR} ${FOTELLO_ICON_SIZES}
  DEPENDS fotello-icon-png ${FOTELLO_ICON_SVG}
  COMMENT "Drawing the icon's sizes"
  VERBATIM)
add_custom_target(icons ALL DEPENDS ${icon_pngs})
install(DIRECTORY ${FOTELLO_ICON_DIR}/ DESTINATION share/icons/hicolor)
install(FILES ${FOTELLO_ICON_SVG} DESTINATION share/icons/hicolor/scalable/apps)
