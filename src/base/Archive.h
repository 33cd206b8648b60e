#pragma once
// The object archive in which process files and the edit transfer file are stored: a
// little-endian stream of primitives, length-prefixed texts, counts, class records and object
// references. Reading never trusts the input: the first problem (end of data, unknown or wrong
// class, bad index, implausible length) puts the archive into a failed state with a message;
// every later read then returns zeros and empty values, so callers check Ok() once at the end
// of a part, or before acting on a count they just read.

#include "base/Geometry.h"
#include "base/RuntimeClass.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CArchive {
public:
    enum Mode { store, load };
    static constexpr uint32_t kNoSchema = 0xFFFFFFFFu;

    /** An archive that writes into its own byte buffer (see GetBuffer). */
    CArchive();
    /** An archive that reads the given bytes. */
    explicit CArchive(std::vector<uint8_t> bytes);

    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }

    /** False once any read or write failed; GetError() says why. */
    bool Ok() const { return m_error.empty(); }
    const std::string& GetError() const { return m_error; }
    /** Records a failure found by a caller (for example a field out of range). First one wins. */
    void Fail(const std::string& message);

    /** Legacy layout (schema text "Process"): explicit class records are neither written nor
     *  read by WriteClass/ReadClass. Object references keep theirs. */
    void SetLegacy(bool legacy) { m_legacy = legacy; }
    bool IsLegacy() const { return m_legacy; }

    const std::vector<uint8_t>& GetBuffer() const { return m_bytes; }
    /** Bytes not yet read. */
    size_t Remaining() const { return m_bytes.size() - m_pos; }
    /** Fails (end of file) unless at least n bytes remain; use before allocating for a count. */
    bool Require(uint64_t n);

    // Primitives, little-endian.
    void WriteInt32(int32_t v);
    void WriteUInt16(uint16_t v);
    void WriteUInt32(uint32_t v);
    void WriteByte(uint8_t v);
    void WriteDouble(double v);
    void WriteRect(const CRect& r);
    void WriteSize(const CSize& s);
    int32_t ReadInt32();
    uint16_t ReadUInt16();
    uint32_t ReadUInt32();
    uint8_t ReadByte();
    double ReadDouble();
    CRect ReadRect();
    CSize ReadSize();

    /** Text with its length prefix (single-byte characters). Reading also accepts the
     *  wide-character form, keeping the low byte of each character. */
    void WriteString(const std::string& s);
    std::string ReadString();

    /** Element count: uint16, or 0xFFFF and a uint32. */
    void WriteCount(uint32_t n);
    uint32_t ReadCount();

    /** Text list: a count, then each text. Reading appends to the list. */
    void WriteStringList(const std::list<std::string>& l);
    void ReadStringList(std::list<std::string>& l);

    /** Class record: a new class the first time, a back-reference afterwards. Skipped in the
     *  legacy layout. Reading fails unless the class is `expected` or derived from it. */
    void WriteClass(const CRuntimeClass* c);
    const CRuntimeClass* ReadClass(const CRuntimeClass* expected);

    /** Schema number of the class record read last, then resets; kNoSchema when none was read
     *  since the last query. */
    uint32_t GetObjectSchema();

    /** Object reference: 0 for null, an index for an object already written, otherwise the
     *  class record and the object's fields. */
    void WriteObject(const CObject* obj);
    /** Reads an object reference and returns the new object (null for a null reference or on
     *  failure). Every stored object has exactly one owner, so a reference to an object read
     *  before is an error rather than a shared pointer. */
    std::unique_ptr<CObject> ReadObject(const CRuntimeClass* expected);

    /** Object list: a count, then each element as an object reference. */
    void WriteObjectList(const std::vector<const CObject*>& objects);
    /** Reads an object list; every element must be non-null and of the expected class. */
    std::vector<std::unique_ptr<CObject>> ReadObjectList(const CRuntimeClass* expected);

    /** Largest count or length a reader accepts without looking further (sanity limit). */
    static constexpr uint32_t kMaxElements = 1u << 24;

private:
    void Put(const void* p, size_t n);
    bool Get(void* p, size_t n);
    void WriteIndexTag(uint32_t index, bool isClass);
    // Reads the tag of a class record or object reference: 0 = null, kNewClassTag = new class,
    // otherwise the index with the class flag in the top bit.
    uint32_t ReadTag();
    const CRuntimeClass* ReadClassAfterTag(uint32_t tag, const CRuntimeClass* expected);

    Mode m_mode;
    bool m_legacy = false;
    std::vector<uint8_t> m_bytes;
    size_t m_pos = 0;
    std::string m_error;
    uint32_t m_schema = kNoSchema;
    // Writing: the next index and the index of each class and object written.
    uint32_t m_nextIndex = 1;
    std::unordered_map<const void*, uint32_t> m_storeMap;
    // Reading: what each index stands for, and the schema of each class (kNotAClass for objects).
    static constexpr uint32_t kNotAClass = 0xFFFFFFFFu;
    std::vector<const void*> m_loadMap{nullptr};
    std::vector<uint32_t> m_loadSchema{kNotAClass};
};
