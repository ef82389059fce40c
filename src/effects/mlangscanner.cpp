#include "mlangscanner.h"

namespace mlang {

QVector<QByteArray> spelling(const QVector<QByteArray> &before, const QVector<QByteArray> &after)
{
    return QVector<QByteArray>{"EOF", "ident", "number", "string"} + before
           + QVector<QByteArray>{"min", "filter", "=", "mag", "wraps", "wrapt", "nearest", "linear", "nearestmipmapnearest", "nearestmipmaplinear",
                                 "linearmipmapnearest", "linearmipmaplinear", "repeat", "mirroredrepeat",
                                 "clamptoedge", "clamptoborder", "mirrorclamptoedge"}
           + after + QVector<QByteArray>{"invalid token"};
}

namespace {
bool isDigit(int ch)
{
    return ch >= '0' && ch <= '9';
}

bool isLower(int ch)
{
    return ch >= 'a' && ch <= 'z';
}

bool isIdentChar(int ch)
{
    return isLower(ch) || isDigit(ch) || ch == '_';
}

constexpr int replacement = 0xFFFD;
} // namespace

// ---------------------------------------------------------------- buffers

Buffer::Buffer(const QByteArray &bytes, int start)
    : m_bytes(bytes)
{
    setPos(start);
}

int Buffer::read()
{
    if (m_pos >= m_bytes.size())
        return EoF;
    return uchar(m_bytes.at(m_pos++));
}

int Buffer::peek()
{
    const int saved = m_pos;
    const int ch = read();
    m_pos = saved;
    return ch;
}

void Buffer::setPos(int pos)
{
    m_pos = qBound(0, pos, m_bytes.size());
}

int UTF8Buffer::read()
{
    const int size = m_bytes.size();
    if (m_pos >= size)
        return EoF;
    const uchar first = uchar(m_bytes.at(m_pos));
    if (first < 0x80) {
        ++m_pos;
        return first;
    }
    int following = 0;
    int code = 0;
    int smallest = 0;
    if ((first & 0xE0) == 0xC0) {
        following = 1;
        code = first & 0x1F;
        smallest = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        following = 2;
        code = first & 0x0F;
        smallest = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        following = 3;
        code = first & 0x07;
        smallest = 0x10000;
    } else {
        ++m_pos;
        return replacement;
    }
    for (int i = 1; i <= following; ++i) {
        if (m_pos + i >= size || (uchar(m_bytes.at(m_pos + i)) & 0xC0) != 0x80) {
            ++m_pos;
            return replacement;
        }
        code = (code << 6) | (uchar(m_bytes.at(m_pos + i)) & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++m_pos;
        return replacement;
    }
    m_pos += following + 1;
    return code;
}

// ---------------------------------------------------------------- keywords

KeywordMap::~KeywordMap()
{
    for (Elem *head : m_tab) {
        while (head) {
            Elem *next = head->next;
            delete head;
            head = next;
        }
    }
}

void KeywordMap::set(const QString &key, int val)
{
    const uint slot = qHash(key) % size;
    m_tab[slot] = new Elem{key, val, m_tab[slot]};
}

int KeywordMap::get(const QString &key, int defaultVal) const
{
    for (const Elem *e = m_tab[qHash(key) % size]; e; e = e->next) {
        if (e->key == key)
            return e->val;
    }
    return defaultVal;
}

// ---------------------------------------------------------------- scanner

Scanner::Scanner(const QString &text, const QVector<QByteArray> &spelling)
    : m_invalidKind(spelling.size() - 1)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        bytes = QByteArrayLiteral(" ");
    int start = 0;
    if (uchar(bytes.at(0)) == 0xEF) {
        if (bytes.size() >= 3 && uchar(bytes.at(1)) == 0xBB && uchar(bytes.at(2)) == 0xBF)
            start = 3;
        else
            m_fatalError = QStringLiteral("Illegal byte order mark at start of file");
    }
    m_buffer.reset(new UTF8Buffer(bytes, start));

    for (int ch = 'a'; ch <= 'z'; ++ch)
        m_start.set(ch, StartStates::Identifier);
    m_start.set('_', StartStates::Identifier);
    for (int ch = '0'; ch <= '9'; ++ch)
        m_start.set(ch, StartStates::Number);
    m_start.set('+', StartStates::Sign);
    m_start.set('-', StartStates::Sign);
    m_start.set('"', StartStates::String);
    m_start.set('\'', StartStates::String);
    for (int kind = FirstSpelledKind; kind < m_invalidKind; ++kind) {
        const QByteArray &word = spelling.at(kind);
        if (word.size() == 1 && !isIdentChar(word.at(0))) {
            m_singles.insert(word.at(0), kind);
            m_start.set(word.at(0), StartStates::Single);
        } else {
            m_keywords.set(QString::fromLatin1(word), kind);
        }
    }
    nextCh();
}

Scanner::~Scanner() = default;

void Scanner::nextCh()
{
    m_pos = m_buffer->pos();
    m_ch = m_buffer->read();
    if (m_ch == Buffer::EoF)
        return;
    ++m_col;
    ++m_charPos;
    // A carriage return alone ends a line as a line feed does.
    if (m_ch == '\r' && m_buffer->peek() != '\n')
        m_ch = '\n';
    if (m_ch == '\n') {
        ++m_line;
        m_col = 0;
    }
    m_valCh = m_ch;
    if (m_ch >= 'A' && m_ch <= 'Z')
        m_ch += 'a' - 'A';
}

void Scanner::addCh()
{
    if (m_tlen < maxTokenLength) {
        if (QChar::requiresSurrogates(uint(m_valCh))) {
            m_tval.append(QChar(QChar::highSurrogate(uint(m_valCh))));
            m_tval.append(QChar(QChar::lowSurrogate(uint(m_valCh))));
        } else {
            m_tval.append(QChar(m_valCh));
        }
        ++m_tlen;
    } else if (m_fatalError.isEmpty()) {
        m_fatalError = QStringLiteral("--- Too long token value");
    }
    // Always advance, so that the loops over a token end with its last character.
    nextCh();
}

void Scanner::skipBlanksAndComments()
{
    for (;;) {
        while (m_ch == ' ' || m_ch == '\t' || m_ch == '\r' || m_ch == '\n')
            nextCh();
        if (m_ch != '/')
            return;
        const int next = m_buffer->peek();
        if (next == '/') {
            nextCh();
            nextCh();
            while (m_ch != '\n' && m_ch != Buffer::EoF)
                nextCh();
        } else if (next == '*') {
            nextCh();
            nextCh();
            int level = 1;
            // Not closed, it runs to the end of the text.
            while (m_ch != Buffer::EoF) {
                if (m_ch == '*' && m_buffer->peek() == '/') {
                    nextCh();
                    nextCh();
                    if (--level == 0)
                        break;
                } else if (m_ch == '/' && m_buffer->peek() == '*') {
                    nextCh();
                    nextCh();
                    ++level;
                } else {
                    nextCh();
                }
            }
        } else {
            return;
        }
    }
}

void Scanner::scanDigits()
{
    while (isDigit(m_ch))
        addCh();
}

Token Scanner::scan()
{
    skipBlanksAndComments();
    Token t;
    t.pos = m_pos;
    t.charPos = m_charPos;
    t.line = m_line;
    t.col = m_col;
    if (!m_fatalError.isEmpty() || m_ch == Buffer::EoF) {
        // Reading the end is the one step that keeps the column of the last
        // character; the end of text stands one past it.
        if (m_fatalError.isEmpty() && m_ch == Buffer::EoF)
            t.col = m_col + 1;
        return t;
    }
    m_tval.clear();
    m_tlen = 0;
    int kind = m_invalidKind;
    switch (m_start.state(m_ch)) {
    case StartStates::Identifier:
        while (isIdentChar(m_ch))
            addCh();
        kind = m_keywords.get(m_tval.toLower(), IdentKind);
        break;
    case StartStates::Sign:
        addCh();
        if (!isDigit(m_ch))
            break;
        Q_FALLTHROUGH();
    case StartStates::Number:
        scanDigits();
        if (m_ch == '.') {
            addCh();
            if (!isDigit(m_ch))
                break;
            scanDigits();
        }
        kind = NumberKind;
        break;
    case StartStates::String: {
        const int quote = m_ch;
        addCh();
        while (m_ch != quote && m_ch != '\n' && m_ch != Buffer::EoF)
            addCh();
        if (m_ch == quote) {
            addCh();
            kind = StringKind;
        }
        break;
    }
    case StartStates::Single:
        kind = m_singles.value(m_ch);
        addCh();
        break;
    default:
        addCh();
        break;
    }
    if (!m_fatalError.isEmpty()) {
        t.kind = EofKind;
        return t;
    }
    t.kind = kind;
    t.val = m_tval;
    return t;
}

} // namespace mlang
