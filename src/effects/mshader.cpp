#include "mshader.h"

#include "mfield.h"
#include "mfolders.h"
#include "moptionslanguage.h"
#include "mparamlist.h"
#include "mparamslanguage.h"
#include "mpathvarlist.h"
#include "mshaderlist.h"
#include "mshaderstream.h"
#include "mtexture.h"
#include "mutility.h"

#include <QFileInfo>
#include <QMetaType>

namespace {
const QString kEmptySource = QStringLiteral("@main");
const QString kDefaultPreview = QStringLiteral(":/icons/shader.jpg");

// The option indices of a new shader: trilinear minification, linear
// magnification, clamped on both axes.
constexpr int kMinFilterIndex = 5;
constexpr int kMagFilterIndex = 1;
constexpr int kWrapIndex = 2;

QImage &sharedPreview()
{
    static QImage image;
    return image;
}

QStringList resourceLines(const QString &path)
{
    QStringList lines;
    MUtility::readLines(lines, path, false, false);
    return lines;
}

QString glslType(int type)
{
    switch (type) {
    case QMetaType::Bool:
        return QStringLiteral("bool");
    case QMetaType::Int:
        return QStringLiteral("int");
    case QMetaType::QColor:
        return QStringLiteral("vec4");
    default:
        return QStringLiteral("float");
    }
}
} // namespace

MShader::MShader(QObject *parent)
    : QObject(parent)
{
    reset();
    defaultPreview();
}

MShader::~MShader()
{
    clearParams();
}

QImage MShader::defaultPreview()
{
    QImage &image = sharedPreview();
    if (image.isNull())
        image.load(kDefaultPreview);
    return image;
}

void MShader::reset()
{
    m_id = MParamList::newItemId();
    m_group.clear();
    m_description.clear();
    m_source.clear();
    m_isValid = false;
    m_type = EffectShader;
    m_parsed = false;
    m_texturesModified = true;
    m_preview = QImage();
    m_minFilter = filterToGl(kMinFilterIndex);
    m_magFilter = filterToGl(kMagFilterIndex);
    m_wrapS = wrapModeToGl(kWrapIndex);
    m_wrapT = wrapModeToGl(kWrapIndex);
    clearParams();
    set_source(kEmptySource);
}

void MShader::copy(const MShader *other)
{
    if (!other || other == this)
        return;
    set_group(other->group());
    set_description(other->description());
    set_source(other->source());
    setIsValid(other->isValid());
    set_type(other->type());
    set_minFilter(other->minFilter());
    set_magFilter(other->magFilter());
    set_wrapS(other->wrapS());
    set_wrapT(other->wrapT());
    set_preview(other->m_preview);
    QList<MField *> params;
    for (const MField *field : other->m_params)
        params.append(new MField(*field));
    clearParams();
    setParams(params);
    // Compiled again on first use, which rebuilds the user textures.
    m_parsed = false;
    m_texturesModified = true;
}

void MShader::clearParams()
{
    qDeleteAll(m_params);
    m_params.clear();
    qDeleteAll(m_textures);
    m_textures.clear();
    m_paramIndex.clear();
}

void MShader::setParams(const QList<MField *> &params)
{
    m_params = params;
    for (MField *field : params)
        m_paramIndex.insert(field->name(), field);
}

// ---------------------------------------------------------------- files

QString MShader::fileName() const
{
    if (!MParamList::isFileId(m_id))
        return QString();
    // The library's own user folder, which removing the effect empties.
    if (const MShaderList *library = MShaderList::existingInstance())
        return library->userItemFileName(m_id);
    return MFolders::shadersDirectory(MFolders::UserPath) + m_id.trimmed().toLower() + QStringLiteral(".kxs");
}

bool MShader::load(const QString &fileName)
{
    return MShaderStream(this).loadFromJsonFile(fileName.isEmpty() ? this->fileName() : fileName);
}

bool MShader::save()
{
    return MShaderStream(this).saveToJsonFile(fileName());
}

// ---------------------------------------------------------------- sections

QStringList MShader::sectionLines(const QString &name) const
{
    const QString wanted = name.trimmed().toLower();
    QStringList lines;
    bool inside = false;
    const QStringList sourceLines = m_source.split(QLatin1Char('\n'));
    for (const QString &sourceLine : sourceLines) {
        const QString line = sourceLine.trimmed();
        if (line.startsWith(QLatin1Char('@')))
            inside = line.mid(1).toLower() == wanted;
        else if (inside)
            lines.append(line);
    }
    return lines;
}

bool MShader::parseParams()
{
    if (m_parsed)
        return true;
    m_errorText.clear();

    params::Scanner paramScanner(sectionLines(QStringLiteral("params")).join(QLatin1Char('\n')));
    params::Parser paramParser(&paramScanner);
    paramParser.parse();
    if (paramParser.errors().count() > 0) {
        m_errorText = tr("Errors during parameters compilation:") + QLatin1Char('\n') + paramParser.errors().text();
        return false;
    }
    clearParams();
    setParams(paramParser.takeParams());
    m_texturesModified = false;
    const QList<MTexture *> textures = paramParser.takeTextures();
    for (MTexture *texture : textures) {
        const QString path = MPathVarList::expand(texture->fileName());
        if (!QFileInfo(path).isFile())
            m_errorText += tr("Warning: texture file doesn't exits: ") + path;
        m_textures.append(texture);
        m_texturesModified = true;
    }

    options::Scanner optionScanner(sectionLines(QStringLiteral("options")).join(QLatin1Char('\n')));
    options::Parser optionParser(&optionScanner);
    optionParser.parse();
    if (optionParser.errors().count() > 0) {
        m_errorText = tr("Errors during options compilation:") + QLatin1Char('\n') + optionParser.errors().text();
        return false;
    }
    m_minFilter = filterToGl(optionParser.minFilter());
    m_magFilter = filterToGl(optionParser.magFilter());
    m_wrapS = wrapModeToGl(optionParser.wrapS());
    m_wrapT = wrapModeToGl(optionParser.wrapT());
    m_parsed = true;
    return true;
}

QString MShader::buildFragmentSource(bool *ok) const
{
    // The compiled sections are a cache of the source text.
    if (!const_cast<MShader *>(this)->parseParams()) {
        if (ok)
            *ok = false;
        return QString();
    }
    const bool effect = m_type == EffectShader;
    const QString frame = effect ? QStringLiteral(":/shaders/std_effect_%1_frag.glsl")
                                 : QStringLiteral(":/shaders/std_brush_%1_frag.glsl");
    QStringList lines = resourceLines(frame.arg(QStringLiteral("header")));
    lines.append(QString());
    for (const MField *field : m_params)
        lines.append(QStringLiteral("uniform %1 %2;").arg(glslType(field->type()), QString::fromUtf8(field->name())));
    for (const MTexture *texture : m_textures)
        lines.append(QStringLiteral("uniform sampler2D %1;").arg(QString::fromUtf8(texture->name())));
    lines.append(sectionLines(QStringLiteral("functions")));
    lines << QString() << QStringLiteral("void main(void)") << QStringLiteral("{");
    const QStringList body = sectionLines(QStringLiteral("main"));
    if (body.isEmpty()) {
        lines.append(effect ? QStringLiteral("\tf_color = texture(f_currentLayerTexture, v_texCoords0.st) * f_opacity;")
                            : QStringLiteral("\tf_color = v_color;"));
    }
    for (const QString &line : body)
        lines.append(QLatin1Char('\t') + line);
    lines.append(QString());
    lines.append(resourceLines(frame.arg(QStringLiteral("footer"))));
    lines << QString() << QStringLiteral("}");
    if (ok)
        *ok = true;
    return lines.join(QLatin1Char('\n'));
}

int MShader::paramCount() const
{
    return m_params.size();
}

MField *MShader::paramAt(int index) const
{
    return m_params.value(index);
}

MField *MShader::param(const QByteArray &name) const
{
    return m_paramIndex.value(name);
}

int MShader::textureCount() const
{
    return m_textures.size();
}

MTexture *MShader::texture(int index) const
{
    return m_textures.value(index);
}

QImage MShader::preview() const
{
    return m_preview.isNull() ? defaultPreview() : m_preview;
}

// ---------------------------------------------------------------- properties

void MShader::set_minFilter(int value)
{
    if (m_minFilter == value)
        return;
    m_minFilter = value;
    emit minFilterChanged(value);
}

void MShader::set_magFilter(int value)
{
    if (m_magFilter == value)
        return;
    m_magFilter = value;
    emit magFilterChanged(value);
}

void MShader::set_wrapS(int value)
{
    if (m_wrapS == value)
        return;
    m_wrapS = value;
    emit wrapSChanged(value);
}

void MShader::set_wrapT(int value)
{
    if (m_wrapT == value)
        return;
    m_wrapT = value;
    emit wrapTChanged(value);
}

void MShader::set_id(const QString &value)
{
    if (m_id == value)
        return;
    m_id = value;
    emit idChanged(value);
}

void MShader::set_group(const QString &value)
{
    if (m_group == value)
        return;
    m_group = value;
    emit groupChanged(value);
}

void MShader::set_description(const QString &value)
{
    if (m_description == value)
        return;
    m_description = value;
    emit descriptionChanged(value);
}

void MShader::set_source(const QString &value)
{
    if (m_source == value)
        return;
    m_source = value;
    m_parsed = false;
    m_isValid = false;
    emit sourceChanged(value);
}

void MShader::setIsValid(bool value)
{
    if (m_isValid == value)
        return;
    m_isValid = value;
    emit isValidChanged(value);
}

void MShader::set_type(int value)
{
    if (m_type == value)
        return;
    m_type = value;
    emit typeChanged(value);
}

void MShader::set_preview(const QImage &value)
{
    m_preview = value;
    emit previewChanged(value);
}
