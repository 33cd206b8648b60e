#include "platform/SharedLibraries.h"

#include <dlfcn.h>

void* CSystemSharedLibraries::Open(const std::string& path, std::string& error) {
    // Local symbols: two plug-ins may both define a class of the same name.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot be loaded";
    }
    return handle;
}

void* CSystemSharedLibraries::Find(void* handle, const char* symbol) {
    return dlsym(handle, symbol);
}

void CSystemSharedLibraries::Close(void* handle) {
    dlclose(handle);
}
