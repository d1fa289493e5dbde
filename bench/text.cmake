# bench_text: substituteArgs with three arguments against QString::arg with three.
add_executable(bench_text ${CMAKE_CURRENT_LIST_DIR}/text_bench.cpp)
target_link_libraries(bench_text PRIVATE velinternal ${VEL_QT_CORE} benchmark::benchmark)
