#include "QtAppFixture.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

QApplication& TestQApp() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

void WithNextModal(const std::function<void(QWidget*)>& action,
                   const std::function<void()>& trigger) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog || !dialog->isVisible() || !dialog->isModal()) continue;
            poll->stop();
            poll->deleteLater();
            action(dialog);
            // A failed assertion inside the action must not leave the dialog open.
            if (dialog->isVisible()) dialog->reject();
            return;
        }
    });
    poll->start();
    trigger();
}

bool SaveScreenshot(QWidget& widget, const QString& name) {
    const QString path = QString(AURIVO_BINARY_DIR "/screenshots/%1.png").arg(name);
    QDir().mkpath(QFileInfo(path).path());
    return widget.grab().save(path);
}

void GuiTest::SetUp() {
    app = std::make_unique<CDspApp>(TestRegistry(), sink,
                                    CAppServices{.clock = clock, .audio = audio});
    window = std::make_unique<CMainWindow>(*app);
    window->resize(1200, 800);
    window->show();
}

void GuiTest::TearDown() {
    window.reset();
    app.reset();
}
