# Every fuzz target and the core library it exercises: the fuzz build
# (fuzz/CMakeLists.txt) makes libFuzzer programs of them, the normal build
# (tests/corpora) replays their committed corpora under CTest.
set(PELMORA_FUZZ_TARGETS
  fuzz_frame_assembler pelmora_link
  fuzz_parse_reply pelmora_link
  fuzz_settings_codec pelmora_settings
  fuzz_text_conversion pelmora_pages
  fuzz_settings_json pelmora_settings_files)
