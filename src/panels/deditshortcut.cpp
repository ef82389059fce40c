#include "deditshortcut.h"

#include "mkeysequenceedit.h"
#include "msettings.h"
#include "ui_deditshortcut.h"

#include <QLineEdit>

DEditShortcut::DEditShortcut(const QString &shortcut, QAction *action, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::DEditShortcut)
    , m_shortcut(shortcut)
    , m_action(action)
{
    ui->setupUi(this);
    m_edit = new MKeySequenceEdit(this);
    m_edit->setObjectName(QStringLiteral("keyEdit"));
    ui->editLayout->addWidget(m_edit);
    m_edit->setKeySequence(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    m_edit->setFocus();
}

DEditShortcut::~DEditShortcut()
{
    delete ui;
}

QString DEditShortcut::shortcut() const
{
    return m_edit->keySequence().toString(QKeySequence::PortableText);
}

void DEditShortcut::on_btnOk_clicked()
{
    accept();
}

void DEditShortcut::on_btnCancel_clicked()
{
    reject();
}

void DEditShortcut::on_btnReset_clicked()
{
    m_edit->setKeySequence(QKeySequence::fromString(m_shortcut, QKeySequence::PortableText));
    m_edit->setFocus();
    m_edit->lineEdit()->selectAll();
}

void DEditShortcut::on_btnDefault_clicked()
{
    // The default is kept as portable text: read it back the same way.
    m_edit->setKeySequence(QKeySequence::fromString(MSettings::instance()->defaultShortcut(m_action),
                                                    QKeySequence::PortableText));
    m_edit->setFocus();
    m_edit->lineEdit()->selectAll();
}
