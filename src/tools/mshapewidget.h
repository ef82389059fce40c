#pragma once

#include <QWidget>

class MProxyModel;
class Ui_MShapeWidget;

// The "Shape" panel: the shape library, filtered and sorted, with the sort
// dialog for its order.
class MShapeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MShapeWidget(QWidget *parent = nullptr);
    ~MShapeWidget() override;

    MProxyModel *proxyModel() const { return m_proxy; }

public slots:
    void on_sortBtn_clicked();

private:
    Ui_MShapeWidget *ui;
    MProxyModel *m_proxy = nullptr;
};
