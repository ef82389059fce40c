#include "mdocumenttemplate.h"

#include "mfolders.h"
#include "mlogger.h"
#include "mparamlist.h"
#include "mregularfile.h"
#include "msettings.h"
#include "mutility.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {
const QString kPaperName = QStringLiteral("paper-01.jpg");

// A document side in whole pixels, fractions dropped; a number beyond what
// the new-document dialog offers is damage and gives way to the default.
int documentSide(const QJsonValue &value, int fallback, const QString &key, const QString &path, bool &inRange)
{
    if (!value.isDouble())
        return fallback;
    const double side = std::trunc(value.toDouble());
    if (side >= 1 && side <= MDocumentTemplate::MaximumSide)
        return int(side);
    inRange = false;
    MLogger::instance()->systemError(QStringLiteral("Template %1: %2 %3 out of range, %4 used")
                                         .arg(path, key)
                                         .arg(value.toDouble())
                                         .arg(fallback));
    return fallback;
}
} // namespace

MDocumentTemplate::MDocumentTemplate(QObject *parent)
    : QObject(parent)
    , m_id(MParamList::newItemId())
    , m_description(QCoreApplication::translate("MDocumentTemplate", "Default 1000x1000 document"))
    , m_paperName(kPaperName)
{
}

#define M_SETTER(Name, Type, member)                                                                                 \
    void MDocumentTemplate::set_##Name(Type value)                                                                   \
    {                                                                                                                \
        if (member == value)                                                                                         \
            return;                                                                                                  \
        member = value;                                                                                              \
        emit Name##Changed(member);                                                                                  \
    }

M_SETTER(id, const QString &, m_id)
M_SETTER(description, const QString &, m_description)
M_SETTER(width, int, m_width)
M_SETTER(height, int, m_height)
M_SETTER(margin, int, m_margin)
M_SETTER(autoExtent, bool, m_autoExtent)
M_SETTER(paperType, int, m_paperType)
M_SETTER(paperName, const QString &, m_paperName)
M_SETTER(paperColor, const QColor &, m_paperColor)
M_SETTER(fileName, const QString &, m_fileName)

#undef M_SETTER

bool MDocumentTemplate::load(const QString &path)
{
    MRegularFile file(path);
    if (!file.openForReading()) {
        MLogger::instance()->systemError(QStringLiteral("Unable to read %1: %2").arg(path, file.errorString()));
        return false;
    }
    set_fileName(path);
    loadData(file.readAll());
    return true;
}

bool MDocumentTemplate::loadData(const QByteArray &bytes)
{
    bool inRange = true;
    const QJsonObject json = QJsonDocument::fromJson(bytes).object();
    MSettings *settings = MSettings::instance();
    const QString id = json.value(QStringLiteral("id")).toString();
    set_id(id.isEmpty() ? MParamList::newItemId() : id);
    set_width(documentSide(json.value(QStringLiteral("width")), settings->defaultWidth(), QStringLiteral("width"),
                           m_fileName, inRange));
    set_height(documentSide(json.value(QStringLiteral("height")), settings->defaultHeight(), QStringLiteral("height"),
                            m_fileName, inRange));
    set_autoExtent(json.value(QStringLiteral("autoExtent")).toBool(false));
    set_margin(json.value(QStringLiteral("margin")).toInt(settings->paintMargin()));
    set_description(json.value(QStringLiteral("description"))
                        .toString(QStringLiteral("%1 x %2").arg(m_width).arg(m_height)));
    set_paperType(json.value(QStringLiteral("paperType")).toInt(1));
    set_paperColor(QColor(json.value(QStringLiteral("paperColor")).toString(QColor(Qt::white).name())));
    set_paperName(json.value(QStringLiteral("paperName")).toString(kPaperName));
    return inRange;
}

bool MDocumentTemplate::save()
{
    if (m_fileName.isEmpty()) {
        set_fileName(MFolders::templatesDirectory(MFolders::UserPath) + m_id.trimmed().toLower()
                     + QStringLiteral(".kxt"));
    }
    QJsonObject json;
    json.insert(QStringLiteral("id"), m_id);
    json.insert(QStringLiteral("width"), m_width);
    json.insert(QStringLiteral("height"), m_height);
    json.insert(QStringLiteral("margin"), m_margin);
    json.insert(QStringLiteral("autoExtent"), m_autoExtent);
    json.insert(QStringLiteral("description"), m_description);
    json.insert(QStringLiteral("paperType"), m_paperType);
    json.insert(QStringLiteral("paperName"), m_paperName);
    json.insert(QStringLiteral("paperColor"), m_paperColor.name());
    // Whole or not at all, and never through a link to a file elsewhere.
    return MUtility::writeFile(QJsonDocument(json).toJson(QJsonDocument::Indented), m_fileName);
}
