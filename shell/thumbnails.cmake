# Thumbnail builder and strip: the arithmetic in the core, the rest in the UI.
target_sources(fotello_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/thumb_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_strip_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_area_average.cpp)
target_sources(fotello_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/thumb_render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumb_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/thumbnail_builder.cpp)
# The shared thumbnail cache of the desktop.
target_sources(fotello_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/thumb_cache_rules.cpp)
target_sources(fotello_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/thumb_cache.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/thumb_cache.cpp
  DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTIES
  COMPILE_DEFINITIONS FOTELLO_VERSION="${PROJECT_VERSION}")
