#include "mpaperfields.h"

#include "dpaperlist.h"
#include "menum.h"
#include "menumlabels.h"
#include "mfolders.h"
#include "mutility.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QMetaEnum>

MPaperFields::MPaperFields(QComboBox *type, QLineEdit *name, QAbstractButton *colorButton, QObject *parent)
    : QObject(parent)
    , m_type(type)
    , m_name(name)
    , m_colorButton(colorButton)
{
}

void MPaperFields::fill(int type, const QString &name, const QColor &color)
{
    const QMetaEnum types = QMetaEnum::fromType<MEnum::PaperType>();
    m_type->clear();
    for (int i = 0; i < types.keyCount(); ++i)
        m_type->addItem(MEnumLabels::label(types.key(i)), types.value(i));
    selectType(type);
    m_name->setText(name);
    setColor(color);
}

int MPaperFields::type() const
{
    return m_type->currentIndex() < 0 ? -1 : m_type->currentData().toInt();
}

void MPaperFields::selectType(int type)
{
    m_type->setCurrentIndex(m_type->findData(type));
}

QString MPaperFields::name() const
{
    return m_name->text().trimmed();
}

void MPaperFields::setColor(const QColor &color)
{
    m_color = color;
    m_colorButton->setIcon(MUtility::colorIcon(color, 16, 16));
}

void MPaperFields::editColor()
{
    QColor color = m_color;
    if (!MUtility::pickColor(color))
        return;
    setColor(color);
    selectType(MEnum::Colored);
}

void MPaperFields::editPaper()
{
    DPaperList list(name(), MUtility::dialogParent());
    if (list.exec() != QDialog::Accepted)
        return;
    m_name->setText(list.fileName());
    selectType(MEnum::Paper);
}

bool MPaperFields::check(const QString &title) const
{
    if (m_type->currentIndex() < 0) {
        MUtility::showMessage(QMessageBox::Critical, title, tr("Please choose a paper type."));
        return false;
    }
    if (type() != MEnum::Paper)
        return true;
    // The file keeps its own name: on a case-sensitive file system a
    // lower-cased name would miss it.
    const QString file = name();
    if (file.isEmpty() || !QFileInfo::exists(MFolders::papersDirectory(MFolders::UserPath) + file)) {
        MUtility::showMessage(QMessageBox::Critical, title, tr("Please choose a valid paper name."));
        return false;
    }
    return true;
}
