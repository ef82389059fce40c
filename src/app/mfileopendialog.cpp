#include "mfileopendialog.h"

MFileOpenDialog::MFileOpenDialog(const QString &caption, Location location, QWidget *parent)
    : MFileDialog(caption, location, parent)
{
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
}
