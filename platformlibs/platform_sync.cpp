// The platform's sync library. The desktop's own sync server does the work;
// this one only has to load, initialise and release.
#define PLATFORM_EXPORT extern "C" __attribute__((visibility("default")))

PLATFORM_EXPORT int InitializePlatform(int, const char*) {
    return 0;
}

PLATFORM_EXPORT void ReleasePlatform() {}
