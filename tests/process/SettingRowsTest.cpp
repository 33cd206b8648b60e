// The setting rows as the base class uses them: one table gives the bar, the listing, the stored
// record, set-from-text and dispatch; a refused load or change leaves the module as it was.
#include "process/DspView.h"

#include <gtest/gtest.h>

namespace {

class CRowsView : public CDspView {
    AURIVO_DECLARE_SERIAL(CRowsView)
public:
    CRowsView() { AddControls(); }

    int32_t m_mode = 0;
    std::string m_name = "first";
    int32_t m_count = 2;
    double m_gain = 1.5;
    int32_t m_flag = 0;
    int32_t m_legacyFlag = 0;
    int m_refreshes = 0;

protected:
    const ISettingRows* Rows() const override {
        using V = CRowsView;
        using R = CSettingRow<V>;
        static const CSettingRows<V> rows{{
            R::Combo("mode", "Mode:", "Group", "The mode")
                .Bind(&V::m_mode)
                .Choice({"Off", "Slow", "Fast"}, "mode out of range")
                .Listed("Mode"),
            R::Stored("name", "Title").Bind(&V::m_name),
            R::Button("up", "Up", "Group", "One more").OnChange([](V& v) {
                if (v.m_count >= 10) return false;
                ++v.m_count;
                return true;
            }),
            R::Text("count", "Count:", "Group", "How many")
                .Bind(&V::m_count)
                .Check(InRange(0, 10, "count out of range"))
                .Listed("Count"),
            R::Control(ERowKind::Edit, "gain", "Gain:", "Group", "The gain")
                .Bind(&V::m_gain)
                .Check([](double x) { return x > 0 ? std::string() : "gain must be above 0"; })
                .Listed("Gain"),
            // The legacy layout keeps another flag in this place.
            R::Stored("flag", "Flag")
                .Bind(&V::m_flag)
                .Check(InRange(0, 1, "flag out of range"))
                .InLegacy(R::Stored("").Bind(&V::m_legacyFlag).Check(InRange(0, 5, "legacy"))),
        }};
        return &rows;
    }
    void SettingChanged() override {
        ++m_refreshes;
        CDspView::SettingChanged();
    }
};
AURIVO_IMPLEMENT_DYNAMIC(CRowsView, RUNTIME_CLASS(CDspView));

// The record as the layout has it: the base's class and channel, then the module's class and
// its stored rows in row order (the button and the bar's order play no part).
std::vector<uint8_t> Record(int32_t mode, const std::string& name, int32_t count, double gain,
                            int32_t flag, bool legacy = false) {
    CArchive ar;
    ar.SetLegacy(legacy);
    ar.WriteClass(RUNTIME_CLASS(CDspView));
    ar.WriteInt32(0);
    ar.WriteClass(RUNTIME_CLASS(CRowsView));
    ar.WriteInt32(mode);
    ar.WriteString(name);
    ar.WriteInt32(count);
    ar.WriteDouble(gain);
    ar.WriteInt32(flag);
    return ar.GetBuffer();
}

std::vector<uint8_t> Stored(CRowsView& view) {
    CArchive ar;
    view.Serialize(ar);
    return ar.GetBuffer();
}

std::string Load(CRowsView& view, std::vector<uint8_t> bytes, bool legacy = false) {
    CArchive ar(std::move(bytes));
    ar.SetLegacy(legacy);
    view.Serialize(ar);
    return ar.GetError();
}

TEST(SettingRows, OneTableGivesTheBarTheListingAndTheRecord) {
    CRowsView view;
    const CControlModel& bar = view.GetControls();
    std::vector<std::string> ids;
    for (size_t i = 0; i < bar.Count(); ++i)
        ids.push_back(bar.GetControl(i).id);
    EXPECT_EQ(ids, (std::vector<std::string>{"mode", "up", "count", "gain"}));
    EXPECT_EQ(bar.GetControl(2).kind, EControlKind::ReadOnlyText);
    EXPECT_EQ(bar.GetControl(0).items, (std::vector<std::string>{"Off", "Slow", "Fast"}));
    EXPECT_EQ(bar.GetControl(3).tooltip, "The gain");
    EXPECT_EQ(bar.GetState(0).text, "Off");
    EXPECT_EQ(bar.GetState(2).text, "2");
    EXPECT_EQ(bar.GetState(3).text, "1.5");

    EXPECT_EQ(view.GetSettings(), (std::vector<CSettingValue>{{"channel", "Selected channel", "0"},
                                                              {"mode", "Mode", "Off"},
                                                              {"name", "Title", "first"},
                                                              {"count", "Count", "2"},
                                                              {"gain", "Gain", "1.5"},
                                                              {"flag", "Flag", "0"}}));
    EXPECT_EQ(Stored(view), Record(0, "first", 2, 1.5, 0));

    CRowsView copy;
    ASSERT_EQ(Load(copy, Record(2, "second", 7, 0.25, 1)), "");
    EXPECT_EQ(copy.GetSettings()[1].value, "Fast");
    EXPECT_EQ(Stored(copy), Record(2, "second", 7, 0.25, 1));
    EXPECT_EQ(copy.GetControls().GetState(2).text, "7"); // the bar shows what was read
}

TEST(SettingRows, ARefusedLoadLeavesTheModuleAsItWas) {
    struct CCase {
        std::vector<uint8_t> bytes;
        std::string error;
    };
    const CCase cases[] = {
        {Record(3, "x", 2, 1.5, 0), "mode out of range"},
        {Record(1, "x", 11, 1.5, 0), "count out of range"},
        {Record(1, "x", 2, 0.0, 0), "gain must be above 0"},
        {Record(1, "x", 2, 1.5, 2), "flag out of range"},
    };
    for (const CCase& c : cases) {
        CRowsView view;
        const std::vector<uint8_t> before = Stored(view);
        EXPECT_EQ(Load(view, c.bytes), c.error);
        EXPECT_EQ(Stored(view), before) << c.error;
    }
    CRowsView cut;
    std::vector<uint8_t> bytes = Record(1, "x", 2, 1.5, 0);
    bytes.pop_back();
    EXPECT_NE(Load(cut, bytes), "");
    EXPECT_EQ(Stored(cut), Record(0, "first", 2, 1.5, 0));
}

TEST(SettingRows, TheLegacyLayoutReadsAndWritesItsOwnRow) {
    CRowsView view;
    EXPECT_EQ(Load(view, Record(0, "x", 2, 1.5, 4, true), true), "");
    EXPECT_EQ(view.m_legacyFlag, 4);
    EXPECT_EQ(view.m_flag, 0);
    CArchive ar;
    ar.SetLegacy(true);
    view.Serialize(ar);
    EXPECT_EQ(ar.GetBuffer(), Record(0, "x", 2, 1.5, 4, true));
    CRowsView refused;
    EXPECT_EQ(Load(refused, Record(0, "x", 2, 1.5, 6, true), true), "legacy");
}

TEST(SettingRows, SetFromTextByIdOrListedLabelIsCheckedAsALoadIs) {
    struct CCase {
        std::string name, value;
        bool accepted;
        std::string message; // of a refusal
    };
    const CCase cases[] = {
        {"name", "renamed", true, ""},
        {"title", "again", true, ""},
        {"NAME", "again", true, ""},
        {"Count", "9", true, ""},
        {"count", "11", false, "count out of range"},
        {"count", "many", false, "'many' "},
        {"mode", "slow", true, ""},
        {"Mode", "Loud", false, "'Loud' is not an item of 'Mode'"},
        {"gain", "-1", false, "gain must be above 0"},
        {"up", "", true, ""},
    };
    for (const CCase& c : cases) {
        CRowsView view;
        const std::vector<uint8_t> before = Stored(view);
        std::string message;
        EXPECT_EQ(view.SetControl(c.name, c.value, message), c.accepted) << c.name;
        if (c.accepted) {
            EXPECT_NE(Stored(view), before) << c.name;
        } else {
            EXPECT_TRUE(message.starts_with(c.message)) << c.name << ": " << message;
            EXPECT_EQ(Stored(view), before) << c.name;
        }
    }
}

TEST(SettingRows, ADispatchedChangeRefreshesOnlyWhenTaken) {
    CRowsView view;
    std::string message;
    ASSERT_TRUE(view.SetControl("up", "", message));
    EXPECT_EQ(view.m_count, 3);
    EXPECT_EQ(view.GetControls().GetState(2).text, "3");
    ASSERT_TRUE(view.SetControl("gain", "2.5", message));
    EXPECT_EQ(view.m_gain, 2.5);
    EXPECT_EQ(view.m_refreshes, 2);
    // A refused edit shows the stored value again and does not refresh.
    EXPECT_FALSE(view.SetControl("gain", "0", message));
    EXPECT_EQ(message, "gain must be above 0");
    EXPECT_EQ(view.GetControls().GetState(3).text, "2.5");
    EXPECT_EQ(view.m_refreshes, 2);
    // A handler that changes nothing does not refresh either.
    ASSERT_TRUE(view.SetControl("count", "10", message));
    ASSERT_TRUE(view.SetControl("up", "", message));
    EXPECT_EQ(view.m_count, 10);
    EXPECT_EQ(view.m_refreshes, 2);
}

} // namespace
