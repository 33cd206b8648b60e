#include "base/Archive.h"

#include <bit>
#include <cstring>

namespace {
constexpr uint16_t kNullTag = 0;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
constexpr uint32_t kNewClassMark = 0xFFFFFFFFu; // ReadTag's result for a new class record

static_assert(std::endian::native == std::endian::little, "archive code assumes little-endian");
} // namespace

CArchive::CArchive() : m_mode(store) {}

CArchive::CArchive(std::vector<uint8_t> bytes) : m_mode(load), m_bytes(std::move(bytes)) {}

void CArchive::Fail(const std::string& message) {
    if (m_error.empty()) m_error = message;
}

bool CArchive::Require(uint64_t n) {
    if (!Ok()) return false;
    if (n > Remaining()) {
        Fail("Unexpected end of file");
        return false;
    }
    return true;
}

void CArchive::Put(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
}

bool CArchive::Get(void* p, size_t n) {
    if (!Require(n)) {
        std::memset(p, 0, n);
        return false;
    }
    std::memcpy(p, m_bytes.data() + m_pos, n);
    m_pos += n;
    return true;
}

void CArchive::WriteInt32(int32_t v) {
    Put(&v, 4);
}
void CArchive::WriteUInt16(uint16_t v) {
    Put(&v, 2);
}
void CArchive::WriteUInt32(uint32_t v) {
    Put(&v, 4);
}
void CArchive::WriteByte(uint8_t v) {
    Put(&v, 1);
}
void CArchive::WriteDouble(double v) {
    Put(&v, 8);
}

void CArchive::WriteRect(const CRect& r) {
    WriteInt32(r.left);
    WriteInt32(r.top);
    WriteInt32(r.right);
    WriteInt32(r.bottom);
}

void CArchive::WriteSize(const CSize& s) {
    WriteInt32(s.cx);
    WriteInt32(s.cy);
}

int32_t CArchive::ReadInt32() {
    int32_t v;
    Get(&v, 4);
    return v;
}

uint16_t CArchive::ReadUInt16() {
    uint16_t v;
    Get(&v, 2);
    return v;
}

uint32_t CArchive::ReadUInt32() {
    uint32_t v;
    Get(&v, 4);
    return v;
}

uint8_t CArchive::ReadByte() {
    uint8_t v;
    Get(&v, 1);
    return v;
}

double CArchive::ReadDouble() {
    double v;
    Get(&v, 8);
    return v;
}

CRect CArchive::ReadRect() {
    // All four fields or nothing: a short rectangle is an end-of-file error.
    if (!Require(16)) return {};
    CRect r;
    r.left = ReadInt32();
    r.top = ReadInt32();
    r.right = ReadInt32();
    r.bottom = ReadInt32();
    return r;
}

CSize CArchive::ReadSize() {
    if (!Require(8)) return {};
    CSize s;
    s.cx = ReadInt32();
    s.cy = ReadInt32();
    return s;
}

void CArchive::WriteString(const std::string& s) {
    const size_t n = s.size();
    if (n < 0xFF) {
        WriteByte(static_cast<uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteUInt16(static_cast<uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<uint32_t>(n));
    }
    Put(s.data(), n);
}

std::string CArchive::ReadString() {
    bool wide = false;
    uint32_t n = ReadByte();
    if (n == 0xFF) {
        n = ReadUInt16();
        if (n == 0xFFFE) { // wide-character marker, then the length prefix again
            wide = true;
            n = ReadByte();
            if (n == 0xFF) n = ReadUInt16();
        }
        if (n == 0xFFFF) n = ReadUInt32();
    }
    const uint64_t bytes = static_cast<uint64_t>(n) * (wide ? 2 : 1);
    if (!Ok() || !Require(bytes)) return {};
    std::string s;
    s.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        s.push_back(static_cast<char>(m_bytes[m_pos]));
        m_pos += wide ? 2 : 1;
    }
    return s;
}

void CArchive::WriteCount(uint32_t n) {
    if (n < 0xFFFF) {
        WriteUInt16(static_cast<uint16_t>(n));
    } else {
        WriteUInt16(0xFFFF);
        WriteUInt32(n);
    }
}

uint32_t CArchive::ReadCount() {
    uint32_t n = ReadUInt16();
    if (n == 0xFFFF) n = ReadUInt32();
    if (n > kMaxElements) {
        Fail("Element count out of range");
        return 0;
    }
    return Ok() ? n : 0;
}

void CArchive::WriteStringList(const std::list<std::string>& l) {
    WriteCount(static_cast<uint32_t>(l.size()));
    for (const auto& s : l)
        WriteString(s);
}

void CArchive::ReadStringList(std::list<std::string>& l) {
    const uint32_t n = ReadCount();
    // Every text takes at least its one-byte length prefix.
    if (!Require(n)) return;
    for (uint32_t i = 0; i < n && Ok(); ++i)
        l.push_back(ReadString());
}

void CArchive::WriteIndexTag(uint32_t index, bool isClass) {
    if (index < kBigObjectTag) {
        WriteUInt16(static_cast<uint16_t>(index | (isClass ? kClassTag : 0)));
    } else {
        WriteUInt16(kBigObjectTag);
        WriteUInt32(index | (isClass ? kBigClassTag : 0));
    }
}

void CArchive::WriteClass(const CRuntimeClass* c) {
    if (m_legacy) return;
    auto it = m_storeMap.find(c);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, true);
        return;
    }
    const size_t len = std::strlen(c->m_lpszClassName);
    WriteUInt16(kNewClassTag);
    WriteUInt16(0); // every class of the system has schema 0
    WriteUInt16(static_cast<uint16_t>(len));
    Put(c->m_lpszClassName, len);
    m_storeMap[c] = m_nextIndex++;
}

uint32_t CArchive::ReadTag() {
    const uint16_t tag = ReadUInt16();
    if (tag == kNewClassTag) return kNewClassMark;
    if (tag == kBigObjectTag) {
        const uint32_t big = ReadUInt32();
        if (big == kNewClassMark) Fail("Bad index in archive");
        return Ok() ? big : kNullTag;
    }
    return (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag);
}

const CRuntimeClass* CArchive::ReadClassAfterTag(uint32_t tag, const CRuntimeClass* expected) {
    if (!Ok()) return nullptr;
    const CRuntimeClass* c = nullptr;
    if (tag == kNewClassMark) {
        const uint16_t schema = ReadUInt16();
        const uint16_t len = ReadUInt16();
        if (!Require(len)) return nullptr;
        const std::string name(reinterpret_cast<const char*>(m_bytes.data() + m_pos), len);
        m_pos += len;
        c = CRuntimeClass::FromName(name);
        if (!c) {
            Fail("Unknown class \"" + name + "\" in archive");
            return nullptr;
        }
        m_schema = schema;
        m_loadMap.push_back(c);
        m_loadSchema.push_back(schema);
    } else if (tag & kBigClassTag) {
        const uint32_t index = tag & ~kBigClassTag;
        if (index == 0 || index >= m_loadMap.size() || m_loadSchema[index] == kNotAClass) {
            Fail("Bad class index in archive");
            return nullptr;
        }
        c = static_cast<const CRuntimeClass*>(m_loadMap[index]);
        m_schema = m_loadSchema[index]; // as its first record said
    } else {
        Fail("Class record expected in archive");
        return nullptr;
    }
    if (expected && !c->IsDerivedFrom(expected)) {
        Fail(std::string("Class \"") + c->m_lpszClassName + "\" found where \"" +
             expected->m_lpszClassName + "\" was expected");
        return nullptr;
    }
    return c;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* expected) {
    if (m_legacy) return expected;
    return ReadClassAfterTag(ReadTag(), expected);
}

uint32_t CArchive::GetObjectSchema() {
    const uint32_t schema = m_schema;
    m_schema = kNoSchema;
    return schema;
}

void CArchive::WriteObject(const CObject* obj) {
    if (!obj) {
        WriteUInt16(kNullTag);
        return;
    }
    auto it = m_storeMap.find(obj);
    if (it != m_storeMap.end()) {
        WriteIndexTag(it->second, false);
        return;
    }
    // Object references carry their class record even in the legacy layout.
    const bool legacy = m_legacy;
    m_legacy = false;
    WriteClass(obj->GetRuntimeClass());
    m_legacy = legacy;
    m_storeMap[obj] = m_nextIndex++;
    const_cast<CObject*>(obj)->Serialize(*this);
}

std::unique_ptr<CObject> CArchive::ReadObject(const CRuntimeClass* expected) {
    const uint32_t tag = ReadTag();
    if (!Ok() || tag == kNullTag) return nullptr;
    if (tag != kNewClassMark && !(tag & kBigClassTag)) {
        Fail(tag < m_loadMap.size() ? "Object stored twice in archive"
                                    : "Bad object index in archive");
        return nullptr;
    }
    const CRuntimeClass* c = ReadClassAfterTag(tag, expected);
    if (!c) return nullptr;
    if (!c->m_pfnCreateObject) {
        Fail(std::string("Class \"") + c->m_lpszClassName + "\" cannot be created from an archive");
        return nullptr;
    }
    std::unique_ptr<CObject> obj(c->m_pfnCreateObject());
    m_loadMap.push_back(obj.get());
    m_loadSchema.push_back(kNotAClass);
    obj->Serialize(*this);
    if (!Ok()) return nullptr;
    return obj;
}

void CArchive::WriteObjectList(const std::vector<const CObject*>& objects) {
    WriteCount(static_cast<uint32_t>(objects.size()));
    for (const CObject* o : objects)
        WriteObject(o);
}

std::vector<std::unique_ptr<CObject>> CArchive::ReadObjectList(const CRuntimeClass* expected) {
    std::vector<std::unique_ptr<CObject>> objects;
    const uint32_t n = ReadCount();
    if (!Require(uint64_t(n) * 2)) return objects; // each reference is at least a uint16 tag
    for (uint32_t i = 0; i < n && Ok(); ++i) {
        auto obj = ReadObject(expected);
        if (!obj) {
            Fail("Missing object in list");
            break;
        }
        objects.push_back(std::move(obj));
    }
    if (!Ok()) objects.clear();
    return objects;
}
