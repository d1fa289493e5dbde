# bench_memory: poolAllocate + poolFree pairs against malloc + free of the same sizes.
add_executable(bench_memory ${CMAKE_CURRENT_LIST_DIR}/memory_bench.cpp)
target_link_libraries(bench_memory PRIVATE velinternal benchmark::benchmark)
