# bench/bench_hostile_corpus [FOLDER]: the hostile corpus of the tests and a
# 100 MP photo, each file read as the browser reads it in a process of its
# own: the slowest and the largest in peak memory, and whether the photo opens.
fotello_bench(hostile_corpus
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/hostile_corpus.cpp
          ${CMAKE_SOURCE_DIR}/tests/hardening/hostile_corpus.cpp
  LIBS fotello_io fotello_picture_makers)
target_compile_definitions(bench_hostile_corpus PRIVATE FOTELLO_BIN_DIR_DEFAULT="${FOTELLO_BIN_DIR}")
