#pragma once

#include <QKeySequence>
#include <QWidget>

class QLineEdit;

// Records the keys pressed while it has focus as a key sequence of up to
// four keys, and keeps them from triggering the application's shortcuts.
class MKeySequenceEdit : public QWidget
{
    Q_OBJECT
public:
    explicit MKeySequenceEdit(QWidget *parent = nullptr);

    QKeySequence keySequence() const { return m_keySequence; }
    QLineEdit *lineEdit() const { return m_lineEdit; }

    // The key code and modifiers that one key press adds to the sequence,
    // or 0 for a modifier pressed alone.
    static int translateKey(int key, Qt::KeyboardModifiers modifiers, const QString &text);

public slots:
    void setKeySequence(const QKeySequence &sequence);

signals:
    void keySequenceChanged(const QKeySequence &sequence);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void slotClearShortcut();

private:
    void handleKeyEvent(QKeyEvent *event);

    QLineEdit *m_lineEdit;
    QKeySequence m_keySequence;
    int m_keyNum = 0;
};
