// Loaded by the dynamic-library tests. Only rtl_test_answer is exported; the
// tests also look for a symbol that does not exist.

extern "C" __attribute__((visibility("default"))) int rtl_test_answer() { return 42; }

extern "C" int rtl_test_hidden() { return 7; }
