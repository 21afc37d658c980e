// Sanitizer builds: leaks and races inside system libraries that the game cannot
// free or fix. Linked into every program of a sanitizer build.
#ifdef TAVELLE_SANITIZED

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:swrast_dri.so\n"
           "leak:libLLVM\n"
           "leak:libEGL_mesa.so\n"
           "leak:libGLX_mesa.so\n"
           "leak:libfontconfig.so\n"
           "leak:libSDL2-2.0.so\n"
           "leak:libvorbisfile.so\n"
           "leak:libvorbis.so\n";
}

extern "C" const char* __tsan_default_suppressions() {
    return "race:swrast_dri.so\n"
           "race:libLLVM\n"
           "race:libSDL2-2.0.so\n"
           "race:libasound.so\n";
}

#endif
