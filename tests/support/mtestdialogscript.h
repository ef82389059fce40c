#pragma once

#include "mutility.h"

#include <QList>
#include <QQueue>

#include <functional>

// Answers the system's modal messages and questions by script while it lives.
// Each dialog takes the next queued answer; with none queued it is cancelled
// (Cancel, -1, false). Every request is recorded for the test to inspect.
class MTestDialogScript
{
public:
    MTestDialogScript();
    ~MTestDialogScript();

    MTestDialogScript &answer(int value);                       // a button, an index or 1/0
    MTestDialogScript &answerColor(const QColor &color);        // accepts a colour dialog with that colour
    MTestDialogScript &answerFile(const QString &path);         // accepts a file dialog with that file
    MTestDialogScript &answerText(const QString &text);         // accepts a text dialog with that text

    // Called with each request before it is answered, while the dialog it
    // describes still exists (a file dialog's folder and proposed name).
    MTestDialogScript &observe(const std::function<void(const MUtility::DialogRequest &)> &observer);

    const QList<MUtility::DialogRequest> &requests() const { return m_requests; }
    int pending() const { return m_answers.size(); }

private:
    struct Answer
    {
        int value = 0;
        QColor color;
        QString fileName;
    };
    int respond(MUtility::DialogRequest &request);

    QQueue<Answer> m_answers;
    QList<MUtility::DialogRequest> m_requests;
    std::function<void(const MUtility::DialogRequest &)> m_observer;
};
