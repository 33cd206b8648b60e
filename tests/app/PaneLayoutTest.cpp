// Every module's pane at narrow, middle and wide widths: the control bar wraps instead of
// scrolling, and no control shows less than its text needs. The suite also runs under
// QT_SCALE_FACTOR 2 (see CMakeLists.txt); each case keeps a screenshot for review.
#include "QtAppFixture.h"

#include "ControlBarWidget.h"
#include "DocumentFrame.h"
#include "PlotWidget.h"
#include "ModulePane.h"
#include "common/CaseName.h"
#include "modules/BuiltInModules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>

namespace {

struct CPaneCase {
    std::string name;
    const char* example;
    size_t step;
    int width;
};

void PrintTo(const CPaneCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<CPaneCase> Cases() {
    const std::pair<const char*, std::pair<const char*, size_t>> modules[] = {
        {"generator", {"thd-1khz", 0}},   {"soundio", {"loopback-thd", 1}},
        {"spectrum", {"thd-1khz", 2}},    {"scope", {"scope", 1}},
        {"wavin", {"wav-spectrum", 0}},   {"arbfilter", {"arbfilter-lowpass", 1}},
        {"datalogger", {"logger-zma", 2}}};
    std::vector<CPaneCase> cases;
    for (const auto& [module, where] : modules)
        for (int width : {360, 800, 1600})
            cases.push_back({std::string(module) + "_" + std::to_string(width), where.first,
                             where.second, width});
    return cases;
}

// What a widget needs to show its whole text: its size hint, or for an edit its text.
QSize Needed(const QWidget* w) {
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return {edit->fontMetrics().horizontalAdvance(edit->text()) + 6,
                edit->minimumSizeHint().height()};
    if (qobject_cast<const QGroupBox*>(w)) return w->minimumSizeHint();
    return w->sizeHint();
}

std::string Describe(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) text = combo->currentText();
    if (auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
    return QString("%1 \"%2\"").arg(w->metaObject()->className(), text).toStdString();
}

bool Checked(const QWidget* w) {
    // A spin box's own edit is checked as the spin box.
    if (qobject_cast<const QAbstractSpinBox*>(w->parentWidget())) return false;
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QGroupBox*>(w);
}

class PaneLayout : public testing::TestWithParam<CPaneCase>, protected CBuiltInApp {};

TEST_P(PaneLayout, EveryControlShowsItsWholeTextWithoutScrolling) {
    const CPaneCase& c = GetParam();
    ASSERT_TRUE(window.OpenFile(QString(AURIVO_SOURCE_DIR "/examples/%1.process").arg(c.example)));
    window.ProcessIdle(1);
    CDspDoc& doc = window.ActiveFrame()->Document();
    ASSERT_GT(doc.GetViewCount(), c.step);
    // The pane alone at the case's width, so the width is exact.
    CModulePane pane(*doc.GetView(c.step));
    pane.resize(c.width, 700);
    pane.show();
    QApplication::processEvents();

    // Every control lies inside the bar, and the bar above the plot: nothing hides behind it.
    auto* bar = pane.findChild<CControlBarWidget*>();
    ASSERT_TRUE(bar);
    const QRect inside(bar->mapTo(&pane, QPoint(0, 0)), bar->size());
    EXPECT_LE(inside.bottom(), pane.Plot()->geometry().top());
    EXPECT_LE(inside.right(), pane.rect().right());
    int checked = 0;
    for (QWidget* w : pane.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* bar = qobject_cast<QScrollBar*>(w))
            ADD_FAILURE() << "a scroll bar " << bar->orientation();
        if (!Checked(w) || w->objectName() == "status") continue;
        const std::string what = Describe(w);
        const QSize need = Needed(w);
        EXPECT_GE(w->width(), need.width()) << what;
        EXPECT_GE(w->height(), need.height()) << what;
        const QRect r(w->mapTo(&pane, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(r)) << what << " lies outside the bar";
        ++checked;
    }
    EXPECT_GT(checked, 3);

    const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_TRUE(SaveScreenshot(
        pane, QString("panes/%1_x%2").arg(QString::fromStdString(c.name)).arg(scale)));
}

// A push button's caption stands before it, naming it for the button's own text ("Audio
// Mixer:" before "Open Mixer").
class PaneCaptions : public testing::Test, protected CBuiltInApp {};

TEST_F(PaneCaptions, SoundIOOptionButtonsShowTheirCaptions) {
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/loopback-thd.process"));
    window.ProcessIdle(1);
    CDspDoc& doc = window.ActiveFrame()->Document();
    CModulePane pane(*doc.GetView(1));
    pane.resize(1600, 700);
    pane.show();
    QApplication::processEvents();
    const std::pair<QString, QString> captions[] = {{"Audio Mixer:", "Open Mixer"},
                                                    {"Calibration:", "Calibrate"},
                                                    {"Audio Mixer Select:", "Mixer Select"}};
    for (const auto& [caption, button] : captions) {
        const QLabel* shown = nullptr;
        for (const QLabel* label : pane.findChildren<QLabel*>())
            if (label->text() == caption) shown = label;
        ASSERT_TRUE(shown) << caption.toStdString();
        EXPECT_TRUE(shown->isVisible()) << caption.toStdString();
        auto* buddy = qobject_cast<const QAbstractButton*>(shown->buddy());
        ASSERT_TRUE(buddy) << caption.toStdString();
        EXPECT_EQ(buddy->text(), button);
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, PaneLayout, testing::ValuesIn(Cases()), CaseName());

} // namespace
