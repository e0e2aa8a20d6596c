# bench/bench_filters: every engine filter on a 24 MP picture, end to end.
fotello_bench(filters SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/filters.cpp LIBS fotello_core)
