#pragma once

#include <QObject>

class MSharedData;

// A job that paints into the document under its context, built on the stack
// and run at once on the GUI thread.
class MRunner : public QObject
{
    Q_OBJECT
public:
    explicit MRunner(MSharedData *sharedData);

    MSharedData *sharedData() const { return m_sharedData; }
    // Sets up the shared data when needed; false when they cannot be used.
    bool prepare();
    // prepare, then the document's context made current (logged when it cannot be).
    bool prepareContext();

public slots:
    virtual void run();

signals:
    void finished(MRunner *runner);

protected:
    MSharedData *m_sharedData;
};
