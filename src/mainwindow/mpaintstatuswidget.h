#pragma once

#include <QRectF>
#include <QWidget>

class QLabel;

// A small status-bar widget that shows the size of a canvas rectangle.
class MPaintStatusWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MPaintStatusWidget(QWidget *parent = nullptr);

    QString text() const;

public slots:
    void setCanvasRect(const QRectF &rect);

private:
    QLabel *m_label;
};
