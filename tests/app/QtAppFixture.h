#pragma once
// One offscreen QApplication for every GUI test, and a main window over the engine's test
// modules with a recording message sink.

#include "common/TestModules.h"
#include "MainWindow.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <functional>

/** The process-wide QApplication (offscreen platform). */
QApplication& TestQApp();

/** Runs `action` on the next modal dialog that opens, while `trigger` opens it. */
void WithNextModal(const std::function<void(QWidget*)>& action,
                   const std::function<void()>& trigger);

/** Saves what `widget` shows as build/screenshots/`name`.png, for review and for the guide. */
bool SaveScreenshot(QWidget& widget, const QString& name);

/** A base class, so the QApplication exists before a fixture's window member is built. */
struct CWithQApp {
    CWithQApp() { TestQApp(); }
};

/** The built-in modules' application and its main window, as the examples need them. */
struct CBuiltInApp : private CWithQApp {
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CAudioServices audio;
    CDspApp app{GetBuiltInModules(), sink, {.clock = clock, .audio = audio}};
    CMainWindow window{app};
};

class GuiTest : public testing::Test {
protected:
    GuiTest() { TestQApp(); }
    void SetUp() override;
    void TearDown() override;

    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CAudioServices audio;
    std::unique_ptr<CDspApp> app;
    std::unique_ptr<CMainWindow> window;
};
