// The sanitizer build's options, built into every suite rather than passed in
// the environment, so that a suite run by hand finds them as ctest does:
// leaks are looked for, and those of system libraries that keep their
// allocations for the life of the process are not counted (lsan.supp says
// which, and why). The environment's ASAN_OPTIONS and LSAN_OPTIONS still win.
#ifdef ORVANE_SANITIZED
// Visible: the sanitizer runtime, a library of its own, looks them up.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "detect_leaks=1";
}

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_options()
{
    return "suppressions=" ORVANE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
#endif
