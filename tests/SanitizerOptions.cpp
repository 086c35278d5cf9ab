// umockdev's preload library comes before the sanitizer runtime in the library list, and glib
// keeps type registrations for the life of the process.
extern "C" const char* __asan_default_options() {
  return "verify_asan_link_order=0";
}
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libumockdev\n";
}
