#include "mfilesavedialog.h"

MFileSaveDialog::MFileSaveDialog(const QString &caption, Location location, QWidget *parent)
    : MFileDialog(caption, location, parent)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setOption(QFileDialog::DontConfirmOverwrite, false);
}
