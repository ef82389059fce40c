#pragma once

#include "msingleton.h"

#include <QObject>

#include <memory>

class MBrush;

// Library of brushes. Until the library reads its folders it holds the
// default brush, which is the current one.
class MBrushList : public QObject, public MSingleton<MBrushList>
{
    Q_OBJECT
public:
    explicit MBrushList(QObject *parent = nullptr);
    ~MBrushList() override;

    int rowCount() const { return 0; }
    // Null when there is no brush to paint with.
    MBrush *currentBrush() const { return m_current; }
    void setCurrentBrush(MBrush *brush) { m_current = brush; }
    MBrush *defaultBrush() const { return m_default.get(); }

private:
    std::unique_ptr<MBrush> m_default;
    MBrush *m_current;
};
