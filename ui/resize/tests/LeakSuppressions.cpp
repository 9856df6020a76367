// Under the leak checker: fontconfig keeps the patterns of cairo's cached font faces for
// the life of the process, which the checker reports as lost at exit.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
