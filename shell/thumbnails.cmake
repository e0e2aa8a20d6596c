# Thumbnail builder and strip: the arithmetic in the core, the rest in the UI.
target_sources(fotello_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/thumb_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_strip_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_area_average.cpp)
target_sources(fotello_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/thumb_render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumbnail_builder.cpp)
