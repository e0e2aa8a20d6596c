# Code that writes pictures (samples and the tests' pictures), and the sample
# folder "amostras" drawn with it at build time.
add_library(fotello_picture_makers STATIC ${CMAKE_CURRENT_LIST_DIR}/picture_makers.cpp)
target_include_directories(fotello_picture_makers PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(fotello_picture_makers PUBLIC Qt6::Gui)

add_executable(fotello-samples ${CMAKE_CURRENT_LIST_DIR}/make_samples.cpp)
target_link_libraries(fotello-samples PRIVATE fotello_picture_makers)

set(samples_stamp ${CMAKE_CURRENT_BINARY_DIR}/amostras.stamp)
add_custom_command(
  OUTPUT ${samples_stamp}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${FOTELLO_BIN_DIR}/amostras
  COMMAND fotello-samples ${FOTELLO_BIN_DIR}/amostras
  COMMAND ${CMAKE_COMMAND} -E touch ${samples_stamp}
  DEPENDS fotello-samples
  COMMENT "Drawing the sample pictures"
  VERBATIM)
add_custom_target(samples ALL DEPENDS ${samples_stamp})
install(DIRECTORY ${FOTELLO_BIN_DIR}/amostras DESTINATION lib/fotello)
