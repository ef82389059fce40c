#include "mkeysequenceedit.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyleOption>

MKeySequenceEdit::MKeySequenceEdit(QWidget *parent)
    : QWidget(parent)
    , m_lineEdit(new QLineEdit(this))
{
    m_lineEdit->setObjectName(QStringLiteral("lineEdit"));
    m_lineEdit->setReadOnly(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lineEdit);
    m_lineEdit->installEventFilter(this);
    setFocusProxy(m_lineEdit);
    setFocusPolicy(m_lineEdit->focusPolicy());
    setAttribute(Qt::WA_InputMethodEnabled);
}

int MKeySequenceEdit::translateKey(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_Super_L:
    case Qt::Key_AltGr:
    case 0:
    case Qt::Key_unknown:
        return 0;
    default:
        break;
    }
    int result = key;
    if (modifiers & Qt::ControlModifier)
        result |= Qt::CTRL;
    if (modifiers & Qt::AltModifier)
        result |= Qt::ALT;
    if (modifiers & Qt::MetaModifier)
        result |= Qt::META;
    if (modifiers & Qt::ShiftModifier) {
        // Shift+1 types "!": the character already carries the Shift.
        const QChar first = text.isEmpty() ? QChar() : text.at(0);
        const bool shiftedPunctuation = !text.isEmpty() && first.isPrint() && !first.isLetter() && !first.isSpace();
        if (!shiftedPunctuation)
            result |= Qt::SHIFT;
    }
    return result;
}

void MKeySequenceEdit::handleKeyEvent(QKeyEvent *event)
{
    const int next = translateKey(event->key(), event->modifiers(), event->text());
    if (next == 0)
        return;
    switch (m_keyNum) {
    case 0:
        m_keySequence = QKeySequence(next);
        break;
    case 1:
        m_keySequence = QKeySequence(m_keySequence[0], next);
        break;
    case 2:
        m_keySequence = QKeySequence(m_keySequence[0], m_keySequence[1], next);
        break;
    default:
        m_keySequence = QKeySequence(m_keySequence[0], m_keySequence[1], m_keySequence[2], next);
        break;
    }
    m_keyNum = (m_keyNum + 1) % 4;
    m_lineEdit->setText(m_keySequence.toString(QKeySequence::NativeText));
    event->accept();
    emit keySequenceChanged(m_keySequence);
}

void MKeySequenceEdit::setKeySequence(const QKeySequence &sequence)
{
    if (sequence == m_keySequence)
        return;
    m_keyNum = 0;
    m_keySequence = sequence;
    m_lineEdit->setText(m_keySequence.toString(QKeySequence::NativeText));
}

void MKeySequenceEdit::slotClearShortcut()
{
    if (m_keySequence.isEmpty())
        return;
    setKeySequence(QKeySequence());
    emit keySequenceChanged(m_keySequence);
}

bool MKeySequenceEdit::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        // While recording, no application shortcut may fire.
        event->accept();
        return true;
    case QEvent::KeyPress:
        keyPressEvent(static_cast<QKeyEvent *>(event));
        return true;
    default:
        break;
    }
    return QWidget::event(event);
}

void MKeySequenceEdit::keyPressEvent(QKeyEvent *event)
{
    handleKeyEvent(event);
}

void MKeySequenceEdit::keyReleaseEvent(QKeyEvent *event)
{
    event->accept();
}

void MKeySequenceEdit::focusInEvent(QFocusEvent *event)
{
    m_lineEdit->event(event);
    m_lineEdit->selectAll();
    QWidget::focusInEvent(event);
}

void MKeySequenceEdit::focusOutEvent(QFocusEvent *event)
{
    m_keyNum = 0;
    m_lineEdit->event(event);
    QWidget::focusOutEvent(event);
}

void MKeySequenceEdit::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

bool MKeySequenceEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lineEdit) {
        switch (event->type()) {
        case QEvent::ContextMenu: {
            auto *menuEvent = static_cast<QContextMenuEvent *>(event);
            QMenu *menu = m_lineEdit->createStandardContextMenu();
            const QList<QAction *> actions = menu->actions();
            for (QAction *action : actions) {
                action->setShortcut(QKeySequence());
                QString text = action->text();
                const int tab = text.lastIndexOf(QLatin1Char('\t'));
                if (tab > 0)
                    action->setText(text.left(tab));
            }
            auto *clear = new QAction(tr("Clear Shortcut"), menu);
            clear->setEnabled(!m_keySequence.isEmpty());
            connect(clear, &QAction::triggered, this, &MKeySequenceEdit::slotClearShortcut);
            QAction *first = actions.isEmpty() ? nullptr : actions.first();
            menu->insertAction(first, clear);
            menu->insertSeparator(first);
            menu->exec(menuEvent->globalPos());
            delete menu;
            return true;
        }
        // Keys reach the line edit first, as its focus proxy; record them here.
        case QEvent::KeyPress:
            handleKeyEvent(static_cast<QKeyEvent *>(event));
            return true;
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
            event->accept();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
