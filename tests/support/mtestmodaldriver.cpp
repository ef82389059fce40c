#include "mtestmodaldriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace MTestModalDriver {

void onNextDialog(const char *className, const std::function<void(QDialog *)> &script, bool *done)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    const QByteArray name(className);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, name, script, done] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<QDialog *>(modal);
        if (!dialog || !dialog->isVisible() || !dialog->inherits(name.constData()))
            return;
        poll->stop();
        poll->deleteLater();
        QPointer<QDialog> guard(dialog);
        script(dialog);
        if (done)
            *done = true;
        if (guard && guard->isVisible())
            guard->reject();
    });
    poll->start();
}

bool whileOpen(const std::function<void()> &open, const std::function<void(QDialog *)> &script)
{
    bool seen = false;
    onNextDialog("QDialog", script, &seen);
    open();
    return seen;
}

void typeOver(QWidget *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

void click(QWidget *widget)
{
    QPoint at = widget->rect().center();
    if (qobject_cast<QCheckBox *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        at = widget->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, widget).center();
    }
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace MTestModalDriver
