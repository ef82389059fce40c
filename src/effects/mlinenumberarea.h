#pragma once

#include <QWidget>

class MEditor;

// The line-number gutter of the code editor, which paints it.
class MLineNumberArea : public QWidget
{
    Q_OBJECT
public:
    explicit MLineNumberArea(MEditor *editor);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    MEditor *m_editor;
};
