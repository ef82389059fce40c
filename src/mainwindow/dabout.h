#pragma once

#include <QDialog>

namespace Ui {
class DAbout;
}

// The logo, the version, the licence in the painter's language and a link
// to the maker's web site.
class DAbout : public QDialog
{
    Q_OBJECT
public:
    explicit DAbout(QWidget *parent = nullptr);
    ~DAbout() override;

    // The licence of the language from the folder, the English one when the
    // language has none, an empty text when neither can be read.
    static QString licenseText(const QString &folder, const QString &langId);
    QString shownLicense() const;

private:
    Ui::DAbout *ui;
};
