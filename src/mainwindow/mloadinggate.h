#pragma once

#include <QObject>
#include <QPointer>

class MCanvas;

// Lets the painter's input through while a document's tiles come in, and
// holds back only what could act on the document: the first press, key,
// shortcut or drop waits for the load to finish, then goes on as it came.
// Moving the pointer, hovering and the wheel (the view alone) do not wait.
// Watches the whole application from its construction until the load ends.
class MLoadingGate : public QObject
{
    Q_OBJECT
public:
    explicit MLoadingGate(MCanvas *canvas, QObject *parent = nullptr);
    ~MLoadingGate() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<MCanvas> m_canvas;
};
