// Sanitizer builds: leaks and races inside system libraries that the game cannot
// free or fix. Linked into every program of a sanitizer build. A stack that enters a
// library built without frame pointers ends at its first frame there, so a library
// is named here only for memory its own code keeps; a library call that leaks by its
// own fault is wrapped where the game makes it (platform/library_leaks.h).
#ifdef TAVELLE_SANITIZED

extern "C" const char* __lsan_default_suppressions() {
    // Mesa's rasteriser frees its per-context memory when the driver unloads, which
    // sanitizer builds prevent (it stays loaded so that its stacks can be read).
    // SDL's video start-up opens a D-Bus connection whose buffers D-Bus keeps for the
    // process; the game itself never calls D-Bus.
    return "leak:swrast_dri.so\n"
           "leak:libdbus-1.so\n";
}

extern "C" const char* __tsan_default_suppressions() {
    // llvmpipe's rasteriser threads share tiles through its own fences.
    return "race:swrast_dri.so\n";
}

#endif
