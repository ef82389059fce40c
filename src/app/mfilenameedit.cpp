#include "mfilenameedit.h"

#include "mutility.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

MFileNameEdit::MFileNameEdit(QWidget *parent)
    : QWidget(parent), m_lineEdit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lineEdit);
    layout->addWidget(m_button);
    connect(m_lineEdit, &QLineEdit::textChanged, this, &MFileNameEdit::onTextChanged);
    connect(m_button, &QToolButton::clicked, this, &MFileNameEdit::onButtonClick);
}

void MFileNameEdit::setFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    m_lineEdit->setText(name);
    emit fileNameChanged(name);
}

void MFileNameEdit::onTextChanged(const QString &text)
{
    m_fileName = text;
}

void MFileNameEdit::onButtonClick()
{
    const QString chosen = MUtility::askOpenFileName(QString(), QString(), QString());
    if (chosen.isEmpty())
        return;
    // Compared with the name before the dialog: a chosen file that is new to
    // the edit always reaches its owner, whatever form its path has.
    const QString before = m_fileName;
    m_lineEdit->setText(chosen);
    if (chosen != before)
        emit fileNameChanged(chosen);
    emit fileButtonClicked();
}
