// Byte layouts here are written out by hand, never by the writer under test.
#include "base/Archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Add(Bytes& b, std::initializer_list<int> v) {
    for (int x : v)
        b.push_back(static_cast<uint8_t>(x));
}
void AddU16(Bytes& b, uint16_t v) {
    Add(b, {v & 0xFF, v >> 8});
}
void AddU32(Bytes& b, uint32_t v) {
    Add(b, {int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}
void AddText(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}
void AddNewClass(Bytes& b, const std::string& name, uint16_t schema = 0) {
    AddU16(b, 0xFFFF);
    AddU16(b, schema);
    AddU16(b, static_cast<uint16_t>(name.size()));
    AddText(b, name);
}

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

class CArchiveTestDerived : public CArchiveTestItem {
    AURIVO_DECLARE_SERIAL(CArchiveTestDerived)
};
AURIVO_IMPLEMENT_SERIAL(CArchiveTestDerived, RUNTIME_CLASS(CArchiveTestItem));

class CArchiveTestOther : public CObject {
    AURIVO_DECLARE_SERIAL(CArchiveTestOther)
public:
    void Serialize(CArchive&) override {}
};
AURIVO_IMPLEMENT_SERIAL(CArchiveTestOther, nullptr);

TEST(ArchivePrimitives, LittleEndianLayout) {
    CArchive ar;
    ar.WriteInt32(-2);
    ar.WriteUInt16(0x1234);
    ar.WriteUInt32(0xA1B2C3D4);
    ar.WriteDouble(1.0);
    ar.WriteRect({1, 2, 3, 4});
    ar.WriteSize({300, -1});
    Bytes want;
    Add(want, {0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1});
    Add(want, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
    for (int v : {1, 2, 3, 4})
        AddU32(want, v);
    AddU32(want, 300);
    AddU32(want, 0xFFFFFFFF);
    EXPECT_EQ(ar.GetBuffer(), want);

    CArchive in(want);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt16(), 0x1234);
    EXPECT_EQ(in.ReadUInt32(), 0xA1B2C3D4u);
    EXPECT_EQ(in.ReadDouble(), 1.0);
    EXPECT_EQ(in.ReadRect(), (CRect{1, 2, 3, 4}));
    EXPECT_EQ(in.ReadSize(), (CSize{300, -1}));
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.Remaining(), 0u);
}

struct TextCase {
    size_t length;
    Bytes prefix;
};

class ArchiveText : public testing::TestWithParam<TextCase> {};

TEST_P(ArchiveText, LengthPrefixAtBoundaries) {
    const auto& c = GetParam();
    const std::string text(c.length, 'x');
    Bytes want = c.prefix;
    AddText(want, text);
    CArchive ar;
    ar.WriteString(text);
    EXPECT_EQ(ar.GetBuffer(), want);
    CArchive in(want);
    EXPECT_EQ(in.ReadString(), text);
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.Remaining(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ArchiveText,
    testing::Values(TextCase{0, {0}}, TextCase{8, {8}}, TextCase{254, {254}},
                    TextCase{255, {0xFF, 0xFF, 0x00}}, TextCase{65533, {0xFF, 0xFD, 0xFF}},
                    TextCase{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                    TextCase{65535, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
                    TextCase{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}));

TEST(ArchiveTextForms, WideCharacterTextIsRead) {
    Bytes b;
    Add(b, {0xFF, 0xFE, 0xFF, 3, 'a', 0, 'b', 0, 'c', 0, 7});
    CArchive in(b);
    EXPECT_EQ(in.ReadString(), "abc");
    EXPECT_EQ(in.ReadByte(), 7);
    EXPECT_TRUE(in.Ok());
}

TEST(ArchiveTextForms, LengthBeyondTheDataFailsWithoutAllocating) {
    Bytes b;
    Add(b, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'});
    CArchive in(b);
    EXPECT_EQ(in.ReadString(), "");
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.GetError(), "Unexpected end of file");
    EXPECT_EQ(in.ReadInt32(), 0) << "reads after a failure return zero";
}

TEST(ArchiveCounts, ShortAndLongForms) {
    CArchive ar;
    ar.WriteCount(0xFFFE);
    ar.WriteCount(0xFFFF);
    Bytes want;
    Add(want, {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0});
    EXPECT_EQ(ar.GetBuffer(), want);
    CArchive in(want);
    EXPECT_EQ(in.ReadCount(), 0xFFFEu);
    EXPECT_EQ(in.ReadCount(), 0xFFFFu);
    EXPECT_TRUE(in.Ok());
}

TEST(ArchiveCounts, StringListAppendsAndRefusesImpossibleCounts) {
    Bytes b;
    Add(b, {2, 0, 1, 'A', 2, 'B', 'C'});
    CArchive in(b);
    std::list<std::string> l{"old"};
    in.ReadStringList(l);
    EXPECT_EQ(l, (std::list<std::string>{"old", "A", "BC"}));
    EXPECT_TRUE(in.Ok());

    Bytes huge;
    Add(huge, {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 1, 'A'}); // 16M texts claimed, one present
    CArchive bad(huge);
    std::list<std::string> none;
    bad.ReadStringList(none);
    EXPECT_FALSE(bad.Ok());
    EXPECT_TRUE(none.empty());
}

TEST(ArchiveClasses, NewClassThenBackReferenceWithIndicesInWritingOrder) {
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

    Bytes want;
    AddNewClass(want, "CArchiveTestOther");
    AddNewClass(want, "CArchiveTestItem");
    AddU32(want, 5);
    AddU16(want, 0x8002);
    AddU32(want, 6);
    AddU16(want, 3);
    AddU16(want, 0);
    AddU16(want, 0x8001);
    EXPECT_EQ(ar.GetBuffer(), want);
}

TEST(ArchiveClasses, ReadingMirrorsTheIndicesAndReportsSchemas) {
    Bytes b;
    AddNewClass(b, "CArchiveTestOther", 7); // index 1
    AddNewClass(b, "CArchiveTestItem", 3);  // index 2, object index 3
    AddU32(b, 5);
    AddU16(b, 0x8002); // object index 4
    AddU32(b, 6);
    AddU16(b, 0);
    AddU16(b, 0x8001);
    CArchive in(b);
    EXPECT_EQ(in.GetObjectSchema(), CArchive::kNoSchema);
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestOther)), RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_EQ(in.GetObjectSchema(), 7u);
    EXPECT_EQ(in.GetObjectSchema(), CArchive::kNoSchema) << "the query resets the schema";
    auto first = in.ReadObject(RUNTIME_CLASS(CArchiveTestItem));
    auto second = in.ReadObject(RUNTIME_CLASS(CArchiveTestItem));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*first).m_value, 5);
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*first).m_schemaSeen, 3u);
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*second).m_value, 6);
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*second).m_schemaSeen, 3u)
        << "back-reference keeps the schema";
    EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)), nullptr);
    EXPECT_TRUE(in.Ok());
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestOther)), RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_TRUE(in.Ok());
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
    Bytes tail(ar.GetBuffer().begin() + before, ar.GetBuffer().end());
    Bytes want;
    AddU16(want, 0x7FFF);
    AddU32(want, 0x7FFF);
    AddU16(want, 0x7FFF);
    AddU32(want, 0x80008000);
    EXPECT_EQ(tail, want);

    CArchive in(ar.GetBuffer());
    for (size_t i = 0; i < many.size(); ++i)
        ASSERT_TRUE(in.ReadObject(RUNTIME_CLASS(CArchiveTestOther)));
    in.ReadClass(RUNTIME_CLASS(CArchiveTestItem));
    EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestOther)), nullptr);
    EXPECT_EQ(in.GetError(), "Object stored twice in archive");
    CArchive again(ar.GetBuffer());
    for (size_t i = 0; i < many.size(); ++i)
        again.ReadObject(RUNTIME_CLASS(CArchiveTestOther));
    again.ReadClass(RUNTIME_CLASS(CArchiveTestItem));
    again.ReadUInt16();
    again.ReadUInt32();
    EXPECT_EQ(again.ReadClass(RUNTIME_CLASS(CArchiveTestItem)), RUNTIME_CLASS(CArchiveTestItem));
    EXPECT_TRUE(again.Ok());
}

TEST(ArchiveClasses, EscapedClassBackReferenceIsRead) {
    Bytes b;
    AddNewClass(b, "CArchiveTestOther");
    AddU16(b, 0x7FFF);
    AddU32(b, 0x80000001);
    CArchive in(b);
    in.ReadClass(RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestOther)), RUNTIME_CLASS(CArchiveTestOther));
    EXPECT_TRUE(in.Ok());
}

struct BadClassCase {
    const char* name;
    Bytes bytes;
    const char* error;
};

class ArchiveBadClass : public testing::TestWithParam<BadClassCase> {};

TEST_P(ArchiveBadClass, IsAnErrorNotACrash) {
    CArchive in(GetParam().bytes);
    EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)), nullptr);
    EXPECT_FALSE(in.Ok());
    EXPECT_EQ(in.GetError(), GetParam().error);
}

Bytes NewClassBytes(const std::string& name) {
    Bytes b;
    AddNewClass(b, name);
    AddU32(b, 1);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveBadClass,
    testing::Values(
        BadClassCase{"unknown", NewClassBytes("CNoSuchClass"),
                     "Unknown class \"CNoSuchClass\" in archive"},
        BadClassCase{"wrong kind", NewClassBytes("CArchiveTestOther"),
                     "Class \"CArchiveTestOther\" found where \"CArchiveTestItem\" was expected"},
        BadClassCase{"class index never defined", Bytes{0x05, 0x80}, "Bad class index in archive"},
        BadClassCase{"object index never defined", Bytes{0x05, 0x00},
                     "Bad object index in archive"},
        BadClassCase{"escape with the new-class value", Bytes{0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF},
                     "Bad index in archive"},
        BadClassCase{"truncated name", Bytes{0xFF, 0xFF, 0, 0, 20, 0, 'C'},
                     "Unexpected end of file"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

// Index 1 is the class, index 2 the object read with it: a class reference to index 2 names
// an object, which must never be taken for a class.
TEST(ArchiveClasses, ClassReferenceToAnObjectIsRefused) {
    Bytes b = NewClassBytes("CArchiveTestItem");
    Add(b, {0x02, 0x80});
    AddU32(b, 2);
    CArchive in(b);
    ASSERT_TRUE(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)));
    EXPECT_EQ(in.ReadObject(RUNTIME_CLASS(CArchiveTestItem)), nullptr);
    EXPECT_EQ(in.GetError(), "Bad class index in archive");
}

TEST(ArchiveClasses, DerivedClassIsAcceptedWhereItsBaseIsExpected) {
    CArchiveTestDerived d;
    d.m_value = 9;
    CArchive ar;
    ar.WriteObject(&d);
    CArchive in(ar.GetBuffer());
    auto obj = in.ReadObject(RUNTIME_CLASS(CArchiveTestItem));
    ASSERT_TRUE(obj);
    EXPECT_TRUE(obj->IsKindOf(RUNTIME_CLASS(CArchiveTestDerived)));
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*obj).m_value, 9);
}

TEST(ArchiveLegacy, ExplicitClassRecordsAreNeitherWrittenNorRead) {
    CArchive ar;
    ar.SetLegacy(true);
    ar.WriteClass(RUNTIME_CLASS(CArchiveTestItem));
    ar.WriteInt32(4);
    Bytes want;
    AddU32(want, 4);
    EXPECT_EQ(ar.GetBuffer(), want);

    CArchive in(want);
    in.SetLegacy(true);
    EXPECT_EQ(in.ReadClass(RUNTIME_CLASS(CArchiveTestItem)), RUNTIME_CLASS(CArchiveTestItem));
    EXPECT_EQ(in.GetObjectSchema(), CArchive::kNoSchema);
    EXPECT_EQ(in.ReadInt32(), 4);
    EXPECT_TRUE(in.Ok());
}

TEST(ArchiveObjectList, RoundTripAndMissingElement) {
    CArchiveTestItem a, b;
    a.m_value = 1;
    b.m_value = 2;
    CArchive ar;
    ar.WriteObjectList({&a, &b});
    CArchive in(ar.GetBuffer());
    auto items = in.ReadObjectList(RUNTIME_CLASS(CArchiveTestItem));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(static_cast<CArchiveTestItem&>(*items[1]).m_value, 2);

    Bytes withNull;
    Add(withNull, {1, 0, 0, 0});
    CArchive bad(withNull);
    EXPECT_TRUE(bad.ReadObjectList(RUNTIME_CLASS(CArchiveTestItem)).empty());
    EXPECT_FALSE(bad.Ok());
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
