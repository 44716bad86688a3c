// The web engine's own library frees some objects through a base class of another size,
// which the AddressSanitizer build would stop at; these tests leave that one check out.
// ASAN_OPTIONS still sets every other flag.
extern "C" const char *__asan_default_options() { return "new_delete_type_mismatch=0"; }
