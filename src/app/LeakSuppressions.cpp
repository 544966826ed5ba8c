// Linked into the program only in the sanitizer build. The desktop libraries under the
// toolkit keep a few allocations for the life of the process (D-Bus connection buffers, the
// font configuration caches) and LeakSanitizer would report them at exit; only those system
// libraries are exempted, never our own code or the toolkit itself.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n";
}
