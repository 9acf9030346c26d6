# The documents and archives the launcher takes from the network. Seed the document fuzzers
# with copies of tests/fixtures/versions/ (libFuzzer writes into its corpus folder) and give
# them -dict=fuzz/json.dict; seed the extraction fuzzer with any small zip files.
korvane_fuzzer(meta_version_description_fuzzer meta_version_description_fuzzer.cpp)
target_link_libraries(meta_version_description_fuzzer PRIVATE kv_launch)

korvane_fuzzer(meta_version_manifest_fuzzer meta_version_manifest_fuzzer.cpp)
target_link_libraries(meta_version_manifest_fuzzer PRIVATE kv_meta)

korvane_fuzzer(meta_asset_index_fuzzer meta_asset_index_fuzzer.cpp)
target_link_libraries(meta_asset_index_fuzzer PRIVATE kv_game)

korvane_fuzzer(launch_arguments_fuzzer launch_arguments_fuzzer.cpp)
target_link_libraries(launch_arguments_fuzzer PRIVATE kv_launch)

korvane_fuzzer(install_extraction_fuzzer install_extraction_fuzzer.cpp)
target_link_libraries(install_extraction_fuzzer PRIVATE kv_install)
