#pragma once

#include <QFileIconProvider>

// Shows an image file by its own picture.
class MIconProvider : public QFileIconProvider
{
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override;
};
