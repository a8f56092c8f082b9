// Linked into the suites that point LOCPATH at a locale of their own: with
// LOCPATH set, the C library's newlocale keeps the search path it builds
// from it and never frees it. The leak checker is told to pass over that
// allocation; the program's users have no LOCPATH, so it does not arise
// there.

extern "C" const char* __lsan_default_suppressions() {
  return "leak:__argz_create_sep\n"
         "leak:__argz_add_sep\n";
}
