# bench/bench_thumbnails: strip thumbnails of 200 photos against vipsthumbnail,
# clicks answered during a 2,000-photo build, memory of 10,000 small pictures;
# "bench_thumbnails FOLDER" measures any folder.
fotello_bench(thumbnails
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/thumbnails.cpp ${CMAKE_CURRENT_SOURCE_DIR}/thumbnails_corpus.cpp
  LIBS fotello_ui)
