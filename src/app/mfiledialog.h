#pragma once

#include <QFileDialog>

// The system's file dialog: its filters, side-bar places and the folder the
// user last chose a file in. Callers may replace the filters after building it.
class MFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    enum Location { FileLocation = 0, ImageLocation = 1, ModelLocation = 2 };
    Q_ENUM(Location)

    MFileDialog(const QString &caption, Location location, QWidget *parent = nullptr);

    Location location() const { return m_location; }

    // The chosen file, or empty text when the dialog was cancelled. A chosen
    // file's folder becomes the next start folder.
    QString getFileName();

private:
    Location m_location;
};
