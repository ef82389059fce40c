#pragma once

#include <QList>
#include <QObject>
#include <QString>

class MTextureLayer;

// The document's layers in drawing order (row 0 at the bottom), which it
// owns, and the current row. A layer removed here frees its textures: whoever
// removes layers or clears holds the document's context.
class MLayerStack : public QObject
{
    Q_OBJECT
public:
    explicit MLayerStack(QObject *parent = nullptr);
    // The layers go silently: nothing may listen to a document half destroyed.
    ~MLayerStack() override;

    int count() const { return m_layers.size(); }
    bool isEmpty() const { return m_layers.isEmpty(); }
    bool isValidRow(int row) const { return row >= 0 && row < m_layers.size(); }
    MTextureLayer *at(int row) const { return isValidRow(row) ? m_layers.at(row) : nullptr; }
    MTextureLayer *current() const { return at(m_currentRow); }
    int indexOf(MTextureLayer *layer) const { return m_layers.indexOf(layer); }
    int currentRow() const { return m_currentRow; }
    int previousRow() const { return m_previousRow; }
    const QList<MTextureLayer *> &layers() const { return m_layers; }

    // The stack takes the layer, which becomes current; a layer already in
    // it is refused (it would be deleted twice).
    void insertAt(int row, MTextureLayer *layer);
    void removeAt(int row);
    // Takes the layer out without freeing it: the caller owns it.
    MTextureLayer *takeAt(int row);
    // The layer at row changes places with the one below it (row - 1) and
    // becomes current.
    void moveUp(int row);
    // The layer at row changes places with the one above it and stays current.
    void moveDown(int row);
    void clear();
    // Many edits told as one reset: the stack's signals between the two are
    // held back, and the current row is told again at the end.
    void beginReset();
    void endReset();

    QString newLayerName() const;
    // Whether one more layer fits; emits layerLimitReached when not.
    bool roomForLayer();
    bool currentLayerEditable() const;

public slots:
    // Told even when it does not change; a row out of range makes none current.
    void setCurrentRow(int row);

signals:
    void layerAboutToBeInserted(int row);
    void layerInserted(int row);
    void layersAboutToBeRemoved(int first, int last);
    void layersRemoved(int first, int last);
    // The layer at row goes to row - 1.
    void layerAboutToMoveDownward(int row);
    void layerMovedDownward(int row);
    void aboutToBeReset();
    void wasReset();
    void currentRowChanged(int row);
    void countChanged(int count);
    // A layer was to be added to a stack that holds as many as a document
    // file can.
    void layerLimitReached();
    // Pixels or properties of a layer changed (an undo command ran, a dialog
    // edits a layer live): views draw again.
    void pixelsChanged();

private:
    MTextureLayer *detachAt(int row, bool destroy);

    QList<MTextureLayer *> m_layers;
    int m_currentRow = -1;
    int m_previousRow = -1;
    bool m_wasBlocked = false;
};
