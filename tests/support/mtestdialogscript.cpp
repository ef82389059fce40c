#include "mtestdialogscript.h"

MTestDialogScript::MTestDialogScript()
{
    MUtility::setDialogHandler([this](MUtility::DialogRequest &request) { return respond(request); });
}

MTestDialogScript::~MTestDialogScript()
{
    MUtility::setDialogHandler(MUtility::DialogHandler());
}

MTestDialogScript &MTestDialogScript::answer(int value)
{
    m_answers.enqueue({value, QColor(), QString()});
    return *this;
}

MTestDialogScript &MTestDialogScript::answerColor(const QColor &color)
{
    m_answers.enqueue({1, color, QString()});
    return *this;
}

MTestDialogScript &MTestDialogScript::answerFile(const QString &path)
{
    m_answers.enqueue({1, QColor(), path});
    return *this;
}

MTestDialogScript &MTestDialogScript::answerText(const QString &text)
{
    m_answers.enqueue({1, QColor(), text});
    return *this;
}

MTestDialogScript &MTestDialogScript::observe(const std::function<void(const MUtility::DialogRequest &)> &observer)
{
    m_observer = observer;
    return *this;
}

int MTestDialogScript::respond(MUtility::DialogRequest &request)
{
    if (m_observer)
        m_observer(request);
    m_requests.append(request);
    if (m_answers.isEmpty()) {
        switch (request.kind) {
        case MUtility::MessageDialog: return QMessageBox::Cancel;
        case MUtility::ChoiceDialog: return -1;
        default: return 0;
        }
    }
    const Answer answer = m_answers.dequeue();
    if (request.kind == MUtility::ColorDialog && answer.color.isValid())
        request.color = answer.color;
    if (request.kind == MUtility::FileDialog)
        request.fileName = answer.fileName;
    if (request.kind == MUtility::TextDialog)
        request.input = answer.fileName;
    return answer.value;
}
