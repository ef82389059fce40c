#include "mhandedfiles.h"

#include "mcanvas.h"
#include "mmainwindow.h"
#include "msettings.h"
#include "mutility.h"
#include "mwidget.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

MHandedFiles::MHandedFiles(MMainWindow *window)
    : QObject(window)
    , m_window(window)
{
    connect(window, &MMainWindow::shown, this, [this]() {
        m_ready = true;
        next();
    });
    connect(window->view()->canvas(), &MCanvas::modifiedChanged, this, &MHandedFiles::canvasModifiedChanged);
}

void MHandedFiles::open(const QString &path)
{
    // It would replace the window's own start-up file, were that not opened yet.
    MSettings::instance()->set_startupFile(QString());
    m_path = path;
    if (m_question) {
        m_question->setText(questionText());
        return;
    }
    next();
}

QString MHandedFiles::questionText() const
{
    return tr("Open %1").arg(QDir::toNativeSeparators(m_path));
}

void MHandedFiles::next()
{
    if (!m_ready || m_path.isEmpty() || m_question)
        return;
    if (m_window->view()->canvas()->isModified()) {
        ask();
        return;
    }
    const QString path = m_path;
    m_path.clear();
    m_window->loadFile(path, false);
}

void MHandedFiles::ask()
{
    const QStringList buttons{tr("Save"), tr("Don't save"), tr("Cancel")};
    const QString informative = tr("Do you want to save modifications?");
    if (MUtility::hasDialogHandler()) {
        answered(MUtility::askChoice(buttons, questionText(), informative));
        return;
    }
    // Not run in a loop of its own: files handed over meanwhile rename it,
    // and it can be withdrawn.
    m_question = new QMessageBox(QMessageBox::Question, QStringLiteral("KalmiDraw"), questionText(),
                                 QMessageBox::NoButton, m_window);
    m_question->setAttribute(Qt::WA_DeleteOnClose);
    m_question->setInformativeText(informative);
    QList<QAbstractButton *> added;
    for (const QString &label : buttons)
        added.append(m_question->addButton(label, QMessageBox::ActionRole));
    m_question->setDefaultButton(qobject_cast<QPushButton *>(added.first()));
    m_question->setEscapeButton(added.last());
    QMessageBox *question = m_question;
    connect(question, &QMessageBox::finished, this, [this, question, added]() {
        if (m_question != question)
            return; // withdrawn
        m_question = nullptr;
        answered(added.indexOf(question->clickedButton()));
    });
    m_question->open();
}

void MHandedFiles::answered(int choice)
{
    const QString path = m_path;
    m_path.clear();
    // Kept as it is: the question was cancelled, or the save did not happen.
    if (choice != 0 && choice != 1)
        return;
    if (choice == 0 && m_window->save() == QMessageBox::Cancel)
        return;
    m_window->loadFile(path, false);
}

void MHandedFiles::canvasModifiedChanged()
{
    if (!m_question || m_window->view()->canvas()->isModified())
        return;
    // Nothing left to save: the question has no reason any more.
    QMessageBox *question = m_question;
    m_question = nullptr;
    question->done(-1);
    next();
}
