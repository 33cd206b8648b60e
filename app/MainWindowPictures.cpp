// The main window's picture commands (export, copy) and its About box.
#include "MainWindow.h"

#include "DocumentFrame.h"
#include "ModulePane.h"
#include "PlotWidget.h"
#include "ViewPictureFile.h"
#include "base/Version.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>

CModulePane* CMainWindow::ActivePane() const {
    CDocumentFrame* frame = ActiveFrame();
    return frame ? frame->ActivePane() : nullptr;
}

void CMainWindow::OnExportPicture() {
    if (CModulePane* pane = ActivePane()) SavePicture(pane);
}

void CMainWindow::SavePicture(CModulePane* pane) {
    CDspDoc* doc = pane->View().GetDocument();
    const QString title =
        doc ? QFileInfo(QString::fromStdString(doc->GetTitle())).baseName() : QString("picture");
    const QString png = "PNG Image (*.png)";
    const QString svg = "SVG Image (*.svg)";
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(this, "Save Picture", title + ".png",
                                                png + ";;" + svg, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += filter == svg ? ".svg" : ".png";
    std::string error;
    if (!SaveViewPicture(pane->View(), path, pane->Plot()->size(), error)) m_app.MessageBox(error);
}

void CMainWindow::CopyPicture(CModulePane* pane) {
    QGuiApplication::clipboard()->setImage(ViewImage(pane->View(), pane->Plot()->size()));
}

void CMainWindow::OnAbout() {
    QMessageBox::about(
        this, "About Aurivo",
        QString("<h3>Aurivo %1</h3>"
                "<p>An audio measurement workbench: signal generator, sound card input and "
                "output, spectrum analyser and oscilloscope.</p>"
                "<p>Licensed under the Apache License, Version 2.0.</p>")
            .arg(kAurivoVersion));
}
