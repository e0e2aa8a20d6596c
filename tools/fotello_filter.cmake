# fotello-filter: the effects engine on picture files, for users, tests and benchmarks.
add_executable(fotello-filter
  ${CMAKE_CURRENT_LIST_DIR}/fotello_filter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fotello_filter_io.cpp)
target_link_libraries(fotello-filter PRIVATE fotello_io fotello_core Qt6::Gui)
set_target_properties(fotello-filter PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FOTELLO_BIN_DIR})
install(TARGETS fotello-filter RUNTIME DESTINATION lib/fotello)
