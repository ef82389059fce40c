#include "mdialog.h"

#include "mutility.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

MDialog::MDialog(QObject *parent) : QObject(parent), m_box(new QMessageBox())
{
    // A box of action buttons alone ignores Escape and its close button:
    // both close it here without a choice.
    m_box->installEventFilter(this);
}

bool MDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box) {
        const bool escape = event->type() == QEvent::KeyPress
                            && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Cancel);
        if (escape || event->type() == QEvent::Close) {
            m_box->done(0);
            return escape;
        }
    }
    return QObject::eventFilter(watched, event);
}

MDialog::~MDialog()
{
    delete m_box;
}

void MDialog::setText(const QString &text)
{
    m_box->setText(text);
}

void MDialog::setInformativeText(const QString &text)
{
    m_box->setInformativeText(text);
}

void MDialog::setButtons(const QStringList &texts)
{
    for (const QString &text : texts)
        m_buttons.append(m_box->addButton(text, QMessageBox::ActionRole));
}

int MDialog::exec()
{
    // Over the window that asked while it runs, so that a window manager
    // keeps it in front.
    QWidget *owner = m_box->parentWidget() ? nullptr : MUtility::dialogParent();
    if (owner)
        m_box->setParent(owner, m_box->windowFlags());
    m_box->exec();
    if (owner)
        m_box->setParent(nullptr, m_box->windowFlags());
    const int index = m_buttons.indexOf(qobject_cast<QPushButton *>(m_box->clickedButton()));
    return index + 1;
}
