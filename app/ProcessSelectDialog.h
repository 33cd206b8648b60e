#pragma once
// "Process Select": the process editor dialog over the core's editor model.

#include "process/ProcessSelectDlg.h"

#include <QDialog>

class QListWidget;

class CProcessSelectDialog final : public QDialog {
    Q_OBJECT
public:
    CProcessSelectDialog(CProcessSelectDlg& model, QWidget* parent = nullptr);

    QListWidget* Available() const { return m_available; }
    QListWidget* Modules() const { return m_modules; }
    /** Inserts the selected available module before the selected step (as "Insert"). */
    void Insert();
    /** "OK": hands the steps to the editor model and closes. */
    void accept() override;

private:
    void Sync();

    CProcessSelectDlg& m_model;
    QListWidget* m_available;
    QListWidget* m_modules;
};
