#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

// The scanner shared by the two small languages of effect sources (parameters
// and texture options). A language is a list of token spellings indexed by
// kind; the kinds 0 to 3 are always end of text, identifier, number and
// string, the last kind is the invalid token, and every spelling between is a
// keyword (a word) or a one-character token.
namespace mlang {

enum ClassKind { EofKind = 0, IdentKind = 1, NumberKind = 2, StringKind = 3, FirstSpelledKind = 4 };

// The spelling of a language's kinds: the four token classes, `before`, the
// texture sampling words ("min", "filter", "=", "mag", "wraps", "wrapt"), the
// six filter keywords, the five wrap-mode keywords, `after`, then the invalid
// token. Both languages sample textures with the same words, in this order.
QVector<QByteArray> spelling(const QVector<QByteArray> &before, const QVector<QByteArray> &after);

// The sampling words, filters and wrap modes in that order, as offsets from
// the kind of "min".
enum SamplingWord {
    MinWord,
    FilterWord,
    EqualWord,
    MagWord,
    WrapSWord,
    WrapTWord,
    FirstFilterWord,
    FirstWrapWord = FirstFilterWord + 6,
    SamplingWordCount = FirstWrapWord + 5
};

struct Token
{
    int kind = EofKind;
    int pos = 0;     // byte offset in the UTF-8 text
    int charPos = 0; // character offset
    int line = 1;
    int col = 0;
    QString val; // as written
};

// The bytes of a text and a read position.
class Buffer
{
public:
    static constexpr int EoF = 0x110000; // above every code point

    explicit Buffer(const QByteArray &bytes, int start = 0);
    virtual ~Buffer() = default;

    virtual int read();
    int peek();
    int pos() const { return m_pos; }
    void setPos(int pos);

protected:
    QByteArray m_bytes;
    int m_pos = 0;
};

// Reads the bytes as UTF-8 code points; a byte that starts no well-formed
// sequence reads as U+FFFD on its own.
class UTF8Buffer : public Buffer
{
public:
    using Buffer::Buffer;
    int read() override;
};

// Which scanning state a character starts.
class StartStates
{
public:
    enum State { Invalid = 0, Identifier, Number, Sign, String, Single };

    void set(int ch, int state) { m_states.insert(ch, state); }
    int state(int ch) const { return m_states.value(ch, Invalid); }

private:
    QHash<int, int> m_states;
};

// Keyword text (lower case) to token kind.
class KeywordMap
{
public:
    struct Elem
    {
        QString key;
        int val;
        Elem *next;
    };

    KeywordMap() = default;
    ~KeywordMap();
    KeywordMap(const KeywordMap &) = delete;
    KeywordMap &operator=(const KeywordMap &) = delete;

    void set(const QString &key, int val);
    int get(const QString &key, int defaultVal) const;

private:
    static constexpr int size = 64;
    Elem *m_tab[size] = {};
};

// Turns a text into tokens of one language, skipping blanks and comments.
class Scanner
{
public:
    static constexpr int maxTokenLength = 32767;

    // spelling: one entry per kind, the last one being the invalid token.
    Scanner(const QString &text, const QVector<QByteArray> &spelling);
    virtual ~Scanner();
    Scanner(const Scanner &) = delete;
    Scanner &operator=(const Scanner &) = delete;

    Token scan();
    // A condition that ends the compilation (an illegal byte-order mark, a
    // token too long); from then on every token is the end of text.
    QString fatalError() const { return m_fatalError; }

private:
    void nextCh();
    void addCh();
    void skipBlanksAndComments();
    void scanDigits();

    std::unique_ptr<Buffer> m_buffer;
    StartStates m_start;
    KeywordMap m_keywords;
    QHash<int, int> m_singles; // one-character token to kind
    int m_invalidKind = 0;
    QString m_fatalError;

    int m_ch = 0;    // current character, A-Z taken as a-z
    int m_valCh = 0; // the same as written
    int m_pos = 0;
    int m_charPos = -1;
    int m_line = 1;
    int m_col = 0;
    QString m_tval;
    int m_tlen = 0;
};

// The scanner of the language whose kinds `words` spells.
template <const QVector<QByteArray> &(*words)()>
class LanguageScanner : public Scanner
{
public:
    explicit LanguageScanner(const QString &text)
        : Scanner(text, words())
    {
    }
};

} // namespace mlang
