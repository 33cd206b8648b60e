#pragma once
// Run-time class records of the stored objects: a name, a base class and a factory, so that
// an archive can name a class, create an object of it when reading, and check its kind.

#include <memory>
#include <string_view>

class CArchive;
class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    /** Creates a default object; null for classes that are never created by an archive. */
    CObject* (*m_pfnCreateObject)();

    /** Registers the class so that an archive can find it by name. */
    CRuntimeClass(const char* name, const CRuntimeClass* base, CObject* (*create)());

    bool IsDerivedFrom(const CRuntimeClass* base) const;
    /** The registered class of that name, or null. */
    static const CRuntimeClass* FromName(std::string_view name);
};

/** Base of every object an archive stores by reference. */
class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;
    /** Writes or reads the object's fields; failures are recorded in the archive. */
    virtual void Serialize(CArchive& ar) = 0;
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
};

// Declares the class record of a stored class. AURIVO_IMPLEMENT_SERIAL defines it in the .cpp
// for classes an archive creates; AURIVO_IMPLEMENT_DYNAMIC for classes that only write their
// record and are created elsewhere (module views).
#define AURIVO_DECLARE_SERIAL(cls)                                                                 \
public:                                                                                            \
    static const CRuntimeClass class##cls;                                                         \
    const CRuntimeClass* GetRuntimeClass() const override {                                        \
        return &class##cls;                                                                        \
    }

#define AURIVO_IMPLEMENT_SERIAL(cls, base)                                                         \
    const CRuntimeClass cls::class##cls(#cls, base, []() -> CObject* { return new cls; })

#define AURIVO_IMPLEMENT_DYNAMIC(cls, base) const CRuntimeClass cls::class##cls(#cls, base, nullptr)

#define RUNTIME_CLASS(cls) (&cls::class##cls)
