#include "core/files/quoted_fields.h"

namespace {
// The delimiters are ASCII, which never occurs inside a UTF-8 sequence: looking at bytes finds
// the same fields as looking at characters.
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isDelimiter(char c) { return c == ',' || isLineEnd(c); }

bool isAscii(QByteArrayView s)
{
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}
}  // namespace

QuotedFieldReader::QuotedFieldReader(QByteArrayView content, QuotedFieldRules rules) : m_s(content), m_rules(rules)
{
    if (m_s.startsWith("\xEF\xBB\xBF")) m_pos = 3;
}

qsizetype QuotedFieldReader::toDelimiter(qsizetype pos) const
{
    while (pos < m_s.size() && !isDelimiter(m_s.at(pos))) ++pos;
    return pos;
}

bool QuotedFieldReader::next(QString& field)
{
    const QByteArrayView s = m_s;
    const qsizetype n = s.size();
    qsizetype pos = m_pos;
    while (pos < n && isBlank(s.at(pos))) ++pos;
    if (pos >= n) {
        m_pos = n;
        return false;
    }
    qsizetype end;  // where the field's delimiter lies
    if (s.at(pos) == '"') {
        field = m_rules.doubledQuotes ? doubledQuoted(pos, end) : quoted(pos, end);
    } else {
        end = toDelimiter(pos);
        qsizetype last = end;
        if (m_rules.trimUnquoted)
            while (last > pos && isBlank(s.at(last - 1))) --last;
        field = decode(s.sliced(pos, last - pos));
    }
    // Step over the delimiter; CR LF counts as one line end.
    if (end < n && s.at(end) == '\r' && end + 1 < n && s.at(end + 1) == '\n') ++end;
    m_pos = std::min(end + 1, n);
    return true;
}

QStringList QuotedFieldReader::all()
{
    QStringList fields;
    QString field;
    while (next(field)) fields << field;
    return fields;
}

QString QuotedFieldReader::quoted(qsizetype open, qsizetype& end)
{
    const qsizetype close = m_s.indexOf('"', open + 1);
    if (close < 0) {
        end = m_s.size();
        return decode(m_s.sliced(open + 1));
    }
    end = toDelimiter(close + 1);
    return decode(m_s.sliced(open + 1, close - open - 1));
}

QString QuotedFieldReader::doubledQuoted(qsizetype open, qsizetype& end)
{
    // Files written before quotes were doubled hold lone quotes inside names; a field that meets a
    // delimiter after a lone quote closes at that quote, as a plain reader would.
    const QByteArrayView s = m_s;
    const qsizetype n = s.size();
    QByteArray text;
    qsizetype firstLone = -1;
    qsizetype textAtLone = 0;
    for (qsizetype i = open + 1; i < n; ++i) {
        const char c = s.at(i);
        if (c == '"') {
            if (i + 1 < n && s.at(i + 1) == '"') {
                text += c;
                ++i;
                continue;
            }
            qsizetype at = i + 1;
            while (at < n && isBlank(s.at(at))) ++at;
            if (at >= n || isDelimiter(s.at(at))) {
                end = at;
                return decode(text);
            }
            if (firstLone < 0) {
                firstLone = i;
                textAtLone = text.size();
            }
        } else if (isDelimiter(c) && firstLone >= 0) {
            break;
        }
        text += c;
    }
    if (firstLone < 0) {  // never closed: the rest of the file
        end = n;
        return decode(text);
    }
    // Anything between the first lone quote and the delimiter is dropped.
    end = toDelimiter(firstLone + 1);
    return decode(QByteArrayView(text).first(textAtLone));
}

QString QuotedFieldReader::decode(QByteArrayView bytes)
{
    // Most fields are plain ASCII, which the Latin-1 conversion copies far faster.
    return isAscii(bytes) ? QString::fromLatin1(bytes) : m_utf8(bytes);
}
