#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <deque>
#include <memory>

class MDocumentStorage;
class QEvent;
class QMainWindow;

// Keeps the window answering while a document's tiles come in. Input goes
// through as it comes; only while a command waits for the last tiles
// (MDocumentStorage::finishLoading runs the event loop meanwhile) is the painter's
// input to the window held, and given back in the order it came once the
// tiles are in: the rest of a stroke whose press is waiting, the keys that
// followed it. A load given up (a close, another document) drops what was
// held with the document it was meant for. The menus, the wheel, other
// windows and the commands let through go on at once; the window shows that
// it waits.
class MLoadingGate : public QObject
{
    Q_OBJECT
public:
    MLoadingGate(MDocumentStorage *storage, QMainWindow *window);
    ~MLoadingGate() override;

    // The command's shortcut acts at once even while a command waits.
    void letThrough(QObject *command);
    bool isHolding() const { return m_waiting || !m_held.empty(); }
    int heldCount() const { return int(m_held.size()); }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Held
    {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    void waitStarted();
    void waitEnded(bool loaded);
    bool holds(QObject *receiver, const QEvent *event) const;
    bool inWindow(QObject *object) const;
    void giveBack();
    void watch(bool on);
    static std::unique_ptr<QEvent> copy(const QEvent *event);

    QPointer<QMainWindow> m_window;
    QList<QPointer<QObject>> m_through;
    std::deque<Held> m_held;
    bool m_waiting = false;
    bool m_watching = false;
    bool m_busyCursor = false;
    // The event being given back, which goes through.
    const QEvent *m_givingBack = nullptr;
};
