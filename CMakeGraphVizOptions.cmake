# What `cmake --graphviz=deps.dot build` draws: the program's own libraries and its executable, the graph of the
# README's Layout; not Qt, SQLite and the other system libraries, the tests, benchmarks and fuzz targets, nor the
# objects that carry built-in resources. One graph, not one more file for every target.
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "^test_" "^bench_" "^fuzz_" "support$" "^crash_writer$" "^stationserver$" "_resources_" "^png_to_pixels$")
