#include "ProcessSelectDialog.h"

#include "process/DspApp.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

CProcessSelectDialog::CProcessSelectDialog(CProcessSelectDlg& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    setWindowTitle("Process Select");
    m_available = new QListWidget(this);
    m_modules = new QListWidget(this);
    for (const std::string& name : model.GetAvailable())
        m_available->addItem(QString::fromStdString(name));
    m_available->setCurrentRow(0);

    auto* insert = new QPushButton("Insert", this);
    auto* remove = new QPushButton("Delete", this);
    auto* clear = new QPushButton("Clear All", this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Available Modules:", this), 0, 0);
    grid->addWidget(new QLabel("Module List:", this), 0, 2);
    grid->addWidget(m_available, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(insert);
    middle->addWidget(remove);
    middle->addWidget(clear);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_modules, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);

    connect(insert, &QPushButton::clicked, this, &CProcessSelectDialog::Insert);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &CProcessSelectDialog::Insert);
    connect(remove, &QPushButton::clicked, this, [this] {
        m_model.m_moduleSel = m_modules->currentRow();
        m_model.OnDelete();
        Sync();
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        m_model.OnClearAll();
        Sync();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CProcessSelectDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CProcessSelectDialog::reject);
    m_model.m_moduleSel = 0;
    Sync();
}

void CProcessSelectDialog::Insert() {
    m_model.m_availableSel = m_available->currentRow();
    m_model.m_moduleSel = m_modules->currentRow();
    if (!m_model.OnInsert()) return;
    ++m_model.m_moduleSel; // the entry that was selected stays selected
    Sync();
}

void CProcessSelectDialog::Sync() {
    m_modules->clear();
    for (const std::string& name : m_model.GetModuleList())
        m_modules->addItem(QString::fromStdString(name));
    m_modules->setCurrentRow(std::clamp(m_model.m_moduleSel, 0, m_modules->count() - 1));
}

void CProcessSelectDialog::accept() {
    std::string message;
    if (!m_model.OnOK(message)) return; // names come from the list, so this holds
    QDialog::accept();
}
