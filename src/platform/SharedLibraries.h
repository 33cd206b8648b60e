#pragma once
// Loading shared libraries, behind an interface so that whatever searches for them can be
// tested without real libraries.

#include <string>

class ISharedLibraries {
public:
    virtual ~ISharedLibraries() = default;
    /** Loads the library at `path` with every symbol resolved now; null with a reason. */
    virtual void* Open(const std::string& path, std::string& error) = 0;
    /** The address of an exported symbol, or null. */
    virtual void* Find(void* handle, const char* symbol) = 0;
    /** Releases a handle that Open returned. */
    virtual void Close(void* handle) = 0;
};

/** The system's dynamic loader. Libraries stay mapped after Close: classes and names they
 *  registered with the core would otherwise point into unmapped memory. */
class CSystemSharedLibraries : public ISharedLibraries {
public:
    void* Open(const std::string& path, std::string& error) override;
    void* Find(void* handle, const char* symbol) override;
    void Close(void* handle) override;
};
