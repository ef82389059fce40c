#include "menum.h"
#include "mfolders.h"


#include <QMetaEnum>
#include <QPen>

// The folder helpers number folders and locations themselves; both numberings
// are stored in settings and must stay one.
static_assert(int(MEnum::BrushDir) == int(MFolders::BrushDir) && int(MEnum::CacheDir) == int(MFolders::CacheDir)
                  && int(MEnum::ModelDir) == int(MFolders::ModelDir) && int(MEnum::PaperDir) == int(MFolders::PaperDir)
                  && int(MEnum::ShaderDir) == int(MFolders::ShaderDir) && int(MEnum::ShapeDir) == int(MFolders::ShapeDir)
                  && int(MEnum::SnippetDir) == int(MFolders::SnippetDir) && int(MEnum::SwatchDir) == int(MFolders::SwatchDir)
                  && int(MEnum::TemplateDir) == int(MFolders::TemplateDir)
                  && int(MEnum::TextureDir) == int(MFolders::TextureDir),
              "folder kinds differ");
static_assert(int(MEnum::SystemPath) == int(MFolders::SystemPath) && int(MEnum::UserPath) == int(MFolders::UserPath),
              "folder locations differ");
static_assert(int(MEnum::SquareCap) == int(Qt::SquareCap) && int(MEnum::RoundCap) == int(Qt::RoundCap)
                  && int(MEnum::BevelJoin) == int(Qt::BevelJoin) && int(MEnum::RoundJoin) == int(Qt::RoundJoin),
              "pen styles differ");

namespace {
QByteArray fileName(const QMetaEnum &enumeration, int value, int count)
{
    QByteArray key(value >= 0 && value < count ? enumeration.valueToKey(value) : nullptr);
    if (key.size() < 3)
        return QByteArray();
    key = key.mid(2);
    key[0] = char(QChar::toLower(uint(uchar(key.at(0)))));
    return key;
}
} // namespace

QByteArray MEnum::settingName(int setting)
{
    return fileName(QMetaEnum::fromType<BrushSetting>(), setting, bsCount);
}

QByteArray MEnum::inputName(int input)
{
    return fileName(QMetaEnum::fromType<BrushInput>(), input, biCount);
}
