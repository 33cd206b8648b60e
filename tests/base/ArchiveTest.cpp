// Byte layouts here are written out by hand (common/ArchiveBytes.h), never by the writer under
// test.
#include "base/Archive.h"

#include "common/ArchiveBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A stored object with one int32 field, written after its own class record as the system's
// objects do.
class CArchiveTestItem : public CObject {
    AURIVO_DECLARE_SERIAL(CArchiveTestItem)
public:
    int32_t m_value = 0;
    uint32_t m_schemaSeen = 0;
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteInt32(m_value);
        } else {
            m_schemaSeen = ar.GetObjectSchema();
            m_value = ar.ReadInt32();
        }
    }
};
AURIVO_IMPLEMENT_SERIAL(CArchiveTestItem, nullptr);

class CArchiveTestOther : public CObject {
    AURIVO_DECLARE_SERIAL(CArchiveTestOther)
public:
    void Serialize(CArchive&) override {}
};
AURIVO_IMPLEMENT_SERIAL(CArchiveTestOther, nullptr);

CArchiveTestItem& Item(const std::unique_ptr<CObject>& object) {
    return static_cast<CArchiveTestItem&>(*object);
}

TEST(ArchivePrimitives, LittleEndianLayoutBothWays) {
    CArchive ar;
    ar.WriteInt32(-2);
    ar.WriteUInt16(0x1234);
    ar.WriteUInt32(0xA1B2C3D4);
    ar.WriteDouble(1.0);
    ar.WriteRect({1, 2, 3, 4});
    ar.WriteSize({300, -1});
    ar.WriteCount(0xFFFE);
    ar.WriteCount(0xFFFF);
    const Bytes want{0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0,
                     0,    0,    0,    0xF0, 0x3F, 1,    0,    0,    0,    2,    0, 0, 0,
                     3,    0,    0,    0,    4,    0,    0,    0,    0x2C, 1,    0, 0, 0xFF,
                     0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0};
    EXPECT_EQ(ar.GetBuffer(), want);

    CArchive in(want);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt16(), 0x1234);
    EXPECT_EQ(in.ReadUInt32(), 0xA1B2C3D4u);
    EXPECT_EQ(in.ReadDouble(), 1.0);
    EXPECT_EQ(in.ReadRect(), (CRect{1, 2, 3, 4}));
    EXPECT_EQ(in.ReadSize(), (CSize{300, -1}));
    EXPECT_EQ(in.ReadCount(), 0xFFFEu);
    EXPECT_EQ(in.ReadCount(), 0xFFFFu);
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.Remaining(), 0u);
}

// The length prefix at its boundaries: a byte, 0xFF and 16 bits, then 0xFFFF and 32 bits.
TEST(ArchiveText, LengthPrefixAtBoundaries) {
    const std::pair<size_t, Bytes> cases[] = {{0, {0}},
                                              {254, {254}},
                                              {255, {0xFF, 0xFF, 0x00}},
                                              {65533, {0xFF, 0xFD, 0xFF}},
                                              {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                                              {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}};
    for (const auto& [length, prefix] : cases) {
        const std::string text(length, 'x');
        Bytes want = prefix;
        want.insert(want.end(), text.begin(), text.end());
        CArchive ar;
        ar.WriteString(text);
        EXPECT_EQ(ar.GetBuffer(), want) << length;
        CArchive in(want);
        EXPECT_EQ(in.ReadString(), text) << length;
        EXPECT_TRUE(in.Ok()) << length;
        EXPECT_EQ(in.Remaining(), 0u) << length;
    }
}

TEST(ArchiveText, WideCharactersAreReadAndImpossibleLengthsFail) {
    CArchive wide(Bytes{0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c', 0, 7});
    EXPECT_EQ(wide.ReadString(), "abc");
    EXPECT_EQ(wide.ReadByte(), 7);
    EXPECT_TRUE(wide.Ok());

    CArchive huge(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    EXPECT_EQ(huge.ReadString(), "");
    EXPECT_EQ(huge.GetError(), "Unexpected end of file");
    EXPECT_EQ(huge.ReadInt32(), 0) << "reads after a failure return zero";

    CArchive list(Bytes{2, 0, 1, 'A', 2, 'B', 'C'});
    std::list<std::string> l{"old"};
    list.ReadStringList(l);
    EXPECT_EQ(l, (std::list<std::string>{"old", "A", "BC"}));
    CArchive many(Bytes{0xFF, 0xFF, 0x01, 0x00, 0x00, 0x01, 1, 'A'}); // 2^24 + 1 texts claimed
    std::list<std::string> none;
    many.ReadStringList(none);
    EXPECT_EQ(many.GetError(), "Element count out of range");
    EXPECT_TRUE(none.empty());
}

TEST(ArchiveClasses, IndicesInWritingOrderBothWaysWithSchemas) {
    CArchiveTestItem a, b;
    a.m_value = 5;
    b.m_value = 6;
    CArchive ar;
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestOther)); // index 1
    ar.WriteObject(&a);                              // class index 2, object index 3
    ar.WriteObject(&b);                              // class back-reference, object index 4
    ar.WriteObject(&a);                              // object back-reference
    ar.WriteObject(nullptr);
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestOther)); // class back-reference to index 1
    CArchiveBytes want;
    want.NewClass("CArchiveTestOther").NewClass("CArchiveTestItem").I32(5);
    want.ClassRef(2).I32(6).U16(3).U16(0).ClassRef(1);
    EXPECT_EQ(ar.GetBuffer(), want.Get());

    // Read back with schemas of its own: a back-reference keeps its first record's schema.
    CArchiveBytes schemas;
    schemas.NewClass("CArchiveTestOther", 7).NewClass("CArchiveTestItem", 3).I32(5);
    schemas.ClassRef(2).I32(6).U16(0).ClassRef(1);
    CArchive in(schemas);
    EXPECT_EQ(in.GetObjectSchema(), CArchive::kNoSchema);
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestOther)), RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_EQ(in.GetObjectSchema(), 7u);
    EXPECT_EQ(in.GetObjectSchema(), CArchive::kNoSchema) << "the query resets the schema";
    auto first = in.ReadObject(RUNTIME_CLASS(CArchiveTestItem));
    auto second = in.ReadObject(RUNTIME_CLASS(CArchiveTestItem));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Item(first).m_value, 5);
    EXPECT_EQ(Item(second).m_value, 6);
    EXPECT_EQ(Item(second).m_schemaSeen, 3u);
    EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)), nullptr);
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestOther)), RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_TRUE(in.Ok()) << in.GetError();
}

TEST(ArchiveClasses, EscapeFormForLargeIndices) {
    // Indices from 0x7FFF up do not fit the short form and take the escape.
    std::vector<CArchiveTestOther> many(0x7FFE);
    CArchive ar;
    for (auto& o : many)
        ar.WriteObject(&o);                         // class index 1, objects 2 .. 0x7FFF
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestItem)); // new class, index 0x8000
    const size_t before = ar.GetBuffer().size();
    ar.WriteObject(&many.back());
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestItem));
    const Bytes tail{0xFF, 0x7F, 0xFF, 0x7F, 0, 0, 0xFF, 0x7F, 0, 0x80, 0, 0x80};
    EXPECT_EQ(Bytes(ar.GetBuffer().begin() + long(before), ar.GetBuffer().end()), tail);

    CArchive in(ar.GetBuffer());
    for (size_t i = 0; i < many.size(); ++i)
        ASSERT_TRUE(in.ReadObject(RUNTIME_CLASS(CArchiveTestOther)));
    in.ReadClass(RUNTIME_CLASS(CArchiveTestItem));
    in.ReadUInt16();
    in.ReadUInt32(); // the escaped object back-reference
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestItem)), RUNTIME_CLASS(CArchiveTestItem));
    EXPECT_TRUE(in.Ok()) << in.GetError();
}

Bytes ItemThen(std::initializer_list<uint8_t> tail) {
    return CArchiveBytes().NewClass("CArchiveTestItem").I32(1).Raw(tail);
}

// The second of two objects is read; the first, when there is one, reads cleanly.
TEST(ArchiveBadReference, IsAnErrorNotACrash) {
    const std::pair<Bytes, const char*> cases[] = {
        {CArchiveBytes().NewClass("CNoSuchClass").I32(1),
         "Unknown class \"CNoSuchClass\" in archive"},
        {CArchiveBytes().NewClass("CArchiveTestOther").I32(1),
         "Class \"CArchiveTestOther\" found where \"CArchiveTestItem\" was expected"},
        {ItemThen({0x05, 0x80}), "Bad class index in archive"},             // never defined
        {ItemThen({0x02, 0x80, 1, 0, 0, 0}), "Bad class index in archive"}, // names an object
        {ItemThen({0x05, 0x00}), "Bad object index in archive"},            // never defined
        {ItemThen({0x02, 0x00}), "Object stored twice in archive"},
        {ItemThen({0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF}),
         "Bad index in archive"}, // the new-class value
        {ItemThen({0xFF, 0x7F, 2, 0, 0, 0x80}), "Bad class index in archive"}, // escaped, an object
        {Bytes{0xFF, 0xFF, 0, 0, 20, 0, 'C'}, "Unexpected end of file"}};      // a cut name
    for (const auto& [bytes, error] : cases) {
        CArchive in(bytes);
        if (in.ReadObject(RUNTIME_CLASS(CArchiveTestItem))) {
            EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)), nullptr) << error;
        }
        EXPECT_EQ(in.GetError(), error);
    }
}

TEST(ArchiveObjectList, RoundTripAndMissingElement) {
    CArchiveTestItem a, b;
    b.m_value = 2;
    CArchive ar;
    ar.WriteObjectList({&a, &b});
    CArchive in(ar.GetBuffer());
    auto items = in.ReadObjectList(RUNTIME_CLASS(CArchiveTestItem));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(Item(items[1]).m_value, 2);

    CArchive withNull(Bytes{1, 0, 0, 0});
    EXPECT_TRUE(withNull.ReadObjectList(RUNTIME_CLASS(CArchiveTestItem)).empty());
    EXPECT_EQ(withNull.GetError(), "Missing object in list");
}

TEST(ArchiveTruncation, EveryPrefixOfAValidArchiveFailsCleanly) {
    CArchiveTestItem a, b;
    CArchive ar;
    ar.WriteString("Process0");
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestOther));
    ar.WriteStringList({"Signal Generator", "SoundIO"});
    ar.WriteObjectList({&a, &b});
    ar.WriteRect({0, 0, 10, 10});
    const Bytes& full = ar.GetBuffer();
    auto readAll = [](CArchive& in) {
        in.ReadString();
        in.ReadClass(RUNTIME_CLASS(CArchiveTestOther));
        std::list<std::string> l;
        in.ReadStringList(l);
        in.ReadObjectList(RUNTIME_CLASS(CArchiveTestItem));
        in.ReadRect();
    };
    CArchive whole(full);
    readAll(whole);
    ASSERT_TRUE(whole.Ok());
    for (size_t n = 0; n < full.size(); ++n) {
        CArchive in(Bytes(full.begin(), full.begin() + n));
        readAll(in);
        EXPECT_FALSE(in.Ok()) << "prefix of " << n << " bytes";
    }
}

} // namespace
