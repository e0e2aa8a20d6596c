# bench/bench_preview: click to painted for a 6000 x 4000 JPEG, and the down
# arrow held through 200 photos of 4000 x 3000, with the UI thread's longest stall.
fotello_bench(preview
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/preview.cpp ${CMAKE_CURRENT_SOURCE_DIR}/thumbnails_corpus.cpp
  LIBS fotello_ui)
