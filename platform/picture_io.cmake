# Picture reading: the one module every part uses to load a picture file.
target_sources(fotello_io PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/picture_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_probe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmf_client.cpp)
