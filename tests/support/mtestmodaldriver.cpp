#include "mtestmodaldriver.h"

#include <QApplication>
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

void typeOver(QWidget *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
}

} // namespace MTestModalDriver
