#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class MMainWindow;
class QMessageBox;

// Opens the files later starts hand over to the running window. Each would
// replace the document, so only the newest one waiting counts: with unsaved
// changes one question at a time asks about them, naming the file that would
// open (a newer file renames it), and it is withdrawn once the changes it
// asks about are gone. Files that come before the window was first shown wait
// for it; a file handed over before the window opened its own start-up file
// takes that file's place.
class MHandedFiles : public QObject
{
    Q_OBJECT
public:
    explicit MHandedFiles(MMainWindow *window);

    void open(const QString &path);
    // The question shown, while one is.
    QMessageBox *question() const { return m_question; }

private:
    void next();
    void ask();
    void answered(int choice);
    void canvasModifiedChanged();
    QString questionText() const;

    MMainWindow *m_window;
    QString m_path;
    bool m_ready = false;
    QPointer<QMessageBox> m_question;
};
