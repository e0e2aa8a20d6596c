# fotello-wmf: draws a WMF with libwmf in its own process, for the picture reader.
pkg_check_modules(LIBWMF REQUIRED IMPORTED_TARGET libwmf)
add_executable(fotello-wmf ${CMAKE_CURRENT_LIST_DIR}/wmf_render.cpp ${CMAKE_CURRENT_LIST_DIR}/wmf_draw.cpp)
target_include_directories(fotello-wmf PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fotello-wmf PRIVATE PkgConfig::LIBWMF)
set_target_properties(fotello-wmf PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FOTELLO_BIN_DIR})
install(TARGETS fotello-wmf RUNTIME DESTINATION lib/fotello)
