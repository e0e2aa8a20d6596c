# bench/bench_magnifier: the magnifier's cost per tick with the pointer over
# the preview, and the window's processor use with the pointer away.
fotello_bench(magnifier SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/magnifier.cpp LIBS fotello_ui)
