// Every example run once in a window of a small (1024x700) and of a large (1600x1000) screen:
// every pane lies inside the window, every control of a bar inside its pane (or reached by
// scrolling the bar) and as large as its text needs, and the texts a plot writes above its grid
// do not overlap or run off its edge. Each case keeps a screenshot for review.
#include "QtAppFixture.h"

#include "ControlBarWidget.h"
#include "DocumentFrame.h"
#include "ModulePane.h"
#include "PlotWidget.h"
#include "QtCanvas.h"
#include "QtPlatform.h"
#include "plot/Channel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>

namespace {

struct CScreenCase {
    std::string example;
    QSize screen;
};

void PrintTo(const CScreenCase& c, std::ostream* os) {
    *os << c.example << "_" << c.screen.width();
}

std::vector<CScreenCase> Cases() {
    std::vector<CScreenCase> cases;
    const QStringList examples =
        QDir(AURIVO_SOURCE_DIR "/examples").entryList({"*.process"}, QDir::Files, QDir::Name);
    for (const QSize screen : {QSize(1024, 700), QSize(1600, 1000)})
        for (const QString& file : examples)
            cases.push_back({QFileInfo(file).baseName().toStdString(), screen});
    return cases;
}

// The canvas of the screen, noting where each text lands.
class CTextBoxes final : public ICanvas {
public:
    explicit CTextBoxes(ICanvas& screen) : m_screen(screen) {}
    std::vector<std::pair<QRect, std::string>> boxes;

    void SetPen(const CPen& pen) override { m_screen.SetPen(pen); }
    void SetBrush(std::optional<CColour> brush) override { m_screen.SetBrush(brush); }
    void SetFont(const CFont& font) override { m_screen.SetFont(font); }
    void DrawLine(CPoint from, CPoint to) override { m_screen.DrawLine(from, to); }
    void DrawPolyline(const std::vector<CPoint>& points) override { m_screen.DrawPolyline(points); }
    void FillRect(const CRect& rect, CColour colour) override { m_screen.FillRect(rect, colour); }
    void Rectangle(const CRect& rect) override { m_screen.Rectangle(rect); }
    void Draw3dRect(const CRect& rect, CColour topLeft, CColour bottomRight) override {
        m_screen.Draw3dRect(rect, topLeft, bottomRight);
    }
    void DrawSunkenEdge(const CRect& rect, unsigned sides) override {
        m_screen.DrawSunkenEdge(rect, sides);
    }
    void InvertRect(const CRect& rect) override { m_screen.InvertRect(rect); }
    CTextMetrics GetTextMetrics() const override { return m_screen.GetTextMetrics(); }
    CSize GetTextExtent(std::string_view text) const override {
        return m_screen.GetTextExtent(text);
    }
    void DrawText(CPoint topLeft, std::string_view text, CColour colour) override {
        const CSize size = GetTextExtent(text);
        // Leading and trailing blanks pad a text; they cannot collide.
        const size_t first = text.find_first_not_of(' ');
        if (first != std::string_view::npos) {
            const int lead = GetTextExtent(text.substr(0, first)).cx;
            const int trail =
                size.cx - GetTextExtent(text.substr(0, text.find_last_not_of(' ') + 1)).cx;
            boxes.emplace_back(QRect(topLeft.x + lead, topLeft.y, size.cx - lead - trail, size.cy),
                               std::string(text));
        }
        m_screen.DrawText(topLeft, text, colour);
    }
    void PushClip(const CRect& rect) override { m_screen.PushClip(rect); }
    void PopClip() override { m_screen.PopClip(); }
    void BeginLayer(const CRect& area) override { m_screen.BeginLayer(area); }
    void EndLayer() override { m_screen.EndLayer(); }
    bool IsPrinting() const override { return false; }
    int GetDpiX() const override { return m_screen.GetDpiX(); }

private:
    ICanvas& m_screen;
};

// What a widget needs to show its whole text: its size hint, or for an edit its text.
QSize Needed(const QWidget* w) {
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return {edit->fontMetrics().horizontalAdvance(edit->text()) + 6,
                edit->minimumSizeHint().height()};
    if (qobject_cast<const QGroupBox*>(w)) return w->minimumSizeHint();
    return w->sizeHint();
}

bool IsControl(const QWidget* w) {
    if (qobject_cast<const QAbstractSpinBox*>(w->parentWidget())) return false;
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QGroupBox*>(w);
}

std::string Describe(const QWidget* w) {
    QString text;
    if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w)) text = combo->currentText();
    if (auto* box = qobject_cast<const QGroupBox*>(w)) text = box->title();
    return QString("%1 \"%2\"").arg(w->metaObject()->className(), text).toStdString();
}

QRect In(const QWidget* w, const QWidget* ancestor) {
    return {w->mapTo(ancestor, QPoint(0, 0)), w->size()};
}

// A text in the rows just above a channel's grid.
bool IsHeader(const QRect& box, const CDspView& view) {
    for (int c = 0; const CChannel* channel = view.GetChannelPointer(c); ++c) {
        const CRect& grid = channel->m_plotRect;
        if (box.bottom() < grid.top && box.top() >= grid.top - 2 * box.height() &&
            box.right() >= grid.left && box.left() < grid.right)
            return true;
    }
    return false;
}

class ScreenFit : public testing::TestWithParam<CScreenCase>, protected CBuiltInApp {};

TEST_P(ScreenFit, TheExampleRunsWithEveryPaneControlAndTextInSight) {
    const CScreenCase& c = GetParam();
    window.resize(c.screen);
    window.show();
    ASSERT_TRUE(window.OpenFile(
        QString(AURIVO_SOURCE_DIR "/examples/%1.process").arg(QString::fromStdString(c.example))));
    window.ProcessIdle(1);
    CDocumentFrame* frame = window.ActiveFrame();
    ASSERT_TRUE(frame);
    window.OnEditRun();
    window.ProcessIdle(int(frame->Panes().size()) * 3);
    window.OnEditStop();
    // Scroll bars settle within a few turns of the event loop, as on screen.
    for (int turn = 0; turn < 4; ++turn)
        QApplication::processEvents();
    EXPECT_EQ(window.size(), c.screen) << "the window grew";

    const QWidget* area = window.MdiArea()->viewport();
    const QRect shown = In(area, &window);
    for (size_t i = 0; i < frame->Panes().size(); ++i) {
        CModulePane* pane = frame->Panes()[i];
        SCOPED_TRACE("pane " + std::to_string(i + 1));
        const QRect paneRect = In(pane, &window);
        EXPECT_TRUE(shown.contains(paneRect)) << "the pane lies beyond the window";
        // The bar's rows lie above the plot; those below its sight are reached by scrolling.
        auto* bar = pane->findChild<CControlBarWidget*>();
        ASSERT_TRUE(bar);
        const QRect sight =
            bar->visibleRegion().boundingRect().translated(bar->mapTo(&window, QPoint()));
        EXPECT_TRUE(paneRect.contains(sight));
        EXPECT_LE(sight.bottom(), In(pane->Plot(), &window).top());
        auto* area = qobject_cast<QScrollArea*>(bar->parentWidget()->parentWidget());
        const bool scrolls = area && area->verticalScrollBar()->isVisible();
        for (const QWidget* w : bar->findChildren<QWidget*>()) {
            if (!w->isVisible() || !IsControl(w)) continue;
            const QSize need = Needed(w);
            EXPECT_GE(w->width(), need.width()) << Describe(w) << " is cut";
            EXPECT_GE(w->height(), need.height()) << Describe(w) << " is cut";
            const QRect r = In(w, &window);
            EXPECT_TRUE(r.left() >= sight.left() && r.right() <= sight.right())
                << Describe(w) << " lies beside the bar";
            EXPECT_TRUE(scrolls || sight.contains(r)) << Describe(w) << " cannot be reached";
        }
        // The plot's texts as drawn at the size shown.
        QImage image(pane->Plot()->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        CQtCanvas screen(painter);
        CTextBoxes texts(screen);
        pane->View().OnDraw(texts, FromQRect(QRect(QPoint(), image.size())));
        // The texts above a channel's grid (its scale and range) neither meet nor run off.
        std::vector<std::pair<QRect, std::string>> header;
        for (const auto& [box, text] : texts.boxes)
            if (IsHeader(box, pane->View())) header.emplace_back(box, text);
        const QRect plot(QPoint(), image.size());
        for (size_t a = 0; a < header.size(); ++a) {
            const auto& [box, text] = header[a];
            EXPECT_TRUE(plot.contains(box)) << "\"" << text << "\" runs off the plot";
            for (size_t b = a + 1; b < header.size(); ++b)
                EXPECT_FALSE(box.intersects(header[b].first))
                    << "\"" << text << "\" overlaps \"" << header[b].second << "\"";
        }
    }
    EXPECT_TRUE(SaveScreenshot(window, QString("screens/%1_%2x%3")
                                           .arg(QString::fromStdString(c.example))
                                           .arg(c.screen.width())
                                           .arg(c.screen.height())));
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

INSTANTIATE_TEST_SUITE_P(Examples, ScreenFit, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<CScreenCase>& info) {
                             std::string name = info.param.example + "_" +
                                                std::to_string(info.param.screen.width());
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
