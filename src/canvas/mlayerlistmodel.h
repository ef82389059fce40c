#pragma once

#include "mlistmodelbase.h"

class MLayerStack;

// The document's layers as a Qt list model for views: it owns nothing and
// tells the stack's insertions, removals, moves and resets as rows, and a
// layer's property change as the data of that property's role.
class MLayerListModel : public MListModelBase
{
    Q_OBJECT
public:
    explicit MLayerListModel(MLayerStack *stack, QObject *parent = nullptr);

    int count() const override;

public slots:
    void setCurrentRow(int row) override;

protected:
    QObject *objectAt(int row) const override;
    int rowOfObject(const QObject *object) const override;

private:
    void connectLayers(int first, int last, bool connected);

    MLayerStack *m_stack;
};
