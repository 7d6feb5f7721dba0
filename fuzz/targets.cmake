# Fuzz targets: name and source. Each source defines LLVMFuzzerTestOneInput; its seed corpus is
# fuzz/corpus/<name>/. Included by fuzz/ (libFuzzer) and tests/fuzz_replay/ (plain replay).
set(REDADADO_FUZZ_TARGETS
  bse_header
  bes_import
  kana_reading
)
