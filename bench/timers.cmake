# bench_timers: alert pass, registry lookups and timer fidelity, each printed
# as a ratio against a baseline measured in the same run.
add_executable(bench_timers ${CMAKE_CURRENT_SOURCE_DIR}/timers_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/timer_wiring.h
  # Every operator new of the program is counted, so a benchmark can report
  # the allocations its loop made.
  ${PROJECT_SOURCE_DIR}/tests/support/replaced_new.cpp)
target_link_libraries(bench_timers PRIVATE veltimers velqt velinternal ${VEL_QT_CORE} benchmark::benchmark)
# The wiring comparison of the fidelity run declares QObjects with slots.
set_target_properties(bench_timers PROPERTIES AUTOMOC ON)
