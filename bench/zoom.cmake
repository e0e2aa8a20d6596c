# bench/bench_zoom: a 6000 x 4000 JPEG in the preview's host, ten zoom steps in
# and out, and a pan across it at the deepest step.
fotello_bench(zoom SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/zoom.cpp LIBS fotello_ui)
