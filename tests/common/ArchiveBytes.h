#pragma once
// Archive bytes written field by field, little-endian, independently of CArchive: the golden
// layouts of the stored-file tests are built with this and compared with what the writers give.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class CArchiveBytes {
public:
    CArchiveBytes& Byte(uint8_t v) { return Raw(&v, 1); }
    CArchiveBytes& U16(uint16_t v) { return Le(v, 2); }
    CArchiveBytes& U32(uint32_t v) { return Le(v, 4); }
    CArchiveBytes& I32(int32_t v) { return Le(uint32_t(v), 4); }
    CArchiveBytes& F64(double v) {
        uint64_t u = 0;
        std::memcpy(&u, &v, 8);
        return Le(u, 8);
    }
    /** A text shorter than 255 characters: one length byte, then the characters. */
    CArchiveBytes& Text(const std::string& s) {
        return Byte(uint8_t(s.size())).Raw(s.data(), s.size());
    }
    /** A text list: a short count, then each text. */
    CArchiveBytes& Texts(const std::vector<std::string>& texts) {
        U16(uint16_t(texts.size()));
        for (const auto& s : texts)
            Text(s);
        return *this;
    }
    /** A first class record: the new-class tag, the schema, the name's length and the name. */
    CArchiveBytes& NewClass(const std::string& name, uint16_t schema = 0) {
        return U16(0xFFFF).U16(schema).U16(uint16_t(name.size())).Raw(name.data(), name.size());
    }
    /** A back-reference to the class record at `index`. */
    CArchiveBytes& ClassRef(uint16_t index) { return U16(uint16_t(0x8000 | index)); }
    CArchiveBytes& Rect(int32_t l, int32_t t, int32_t r, int32_t b) {
        return I32(l).I32(t).I32(r).I32(b);
    }
    CArchiveBytes& Raw(const void* p, size_t n) {
        const auto* bytes = static_cast<const uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), bytes, bytes + n);
        return *this;
    }
    CArchiveBytes& Raw(std::initializer_list<uint8_t> bytes) {
        return Raw(std::data(bytes), bytes.size());
    }

    const std::vector<uint8_t>& Get() const { return m_bytes; }
    operator const std::vector<uint8_t>&() const { return m_bytes; }

private:
    CArchiveBytes& Le(uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            m_bytes.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    std::vector<uint8_t> m_bytes;
};

/** A stored object graph laid out as a writer lays it out, in either layout. Indices count every
 *  new class record and every new object in the order of writing; an object's own fields begin
 *  with its class record again (a back-reference), except in the older "Process" layout, which
 *  writes class records only with object references. */
class CRecordLayout {
public:
    explicit CRecordLayout(bool legacy) : m_legacy(legacy) {}
    CArchiveBytes b;

    /** A record's own class record (a module's, a calibration's): none in the older layout. */
    void Class(const char* name) {
        if (m_legacy) return;
        b.NewClass(name);
        ++m_next;
    }
    /** A reference to a new object of the class (a new class record the first time, `index`
     *  remembering it), then the object's own class record. */
    void Object(const char* name, uint16_t& index) {
        if (index == 0) {
            b.NewClass(name);
            index = m_next++;
        } else {
            b.ClassRef(index);
        }
        ++m_next;
        if (!m_legacy) b.ClassRef(index);
    }

private:
    bool m_legacy;
    uint16_t m_next = 1;
};
