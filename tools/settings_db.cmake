# fotello-settings-db: makes the encrypted settings database from its recipe.
add_executable(fotello-settings-db ${CMAKE_CURRENT_LIST_DIR}/settings_db.cpp)
target_link_libraries(fotello-settings-db PRIVATE fotello_core)
