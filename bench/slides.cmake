# bench/bench_slides: a slide show of 6000 x 4000 JPEGs at a 1-second interval.
fotello_bench(slides SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/slides.cpp LIBS fotello_ui)
