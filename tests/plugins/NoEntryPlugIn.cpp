// A shared library that is no plug-in: it exports something, but not the entry point.
extern "C" __attribute__((visibility("default"))) int AurivoFixtureAnswer() {
    return 42;
}
