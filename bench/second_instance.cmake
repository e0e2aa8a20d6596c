# bench/bench_second_instance: a second start's time to end while one runs.
fotello_bench(second_instance SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/second_instance.cpp
              LIBS fotello_core)
add_dependencies(bench_second_instance fotello)
target_compile_definitions(bench_second_instance PRIVATE FOTELLO_EXE="$<TARGET_FILE:fotello>")
