# bench/bench_effects_window: the effects window on a 24 MP photo: opening,
# a point filter's result on screen after the engine ends, and memory.
fotello_bench(effects_window SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/effects_window.cpp
  LIBS fotello_ui)
