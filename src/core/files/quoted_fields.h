#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

// How a file of quoted fields treats blanks and quotes; each file states its own.
struct QuotedFieldRules {
    QByteArrayView blanks;      // skipped before a field (and after a closing quote)
    bool trimUnquoted = false;  // an unquoted field loses the blanks after it too
    // "" in a quoted field stands for one quote, and a lone quote closes the field only before a
    // delimiter; without it the next quote closes the field.
    bool doubledQuotes = false;
};

// The fields of a data file or Wpaper.dat, one at a time. Fields end at a comma or a line end
// (CR LF, LF or CR), so a blank line is an empty field. A field that begins with a double quote
// runs to its closing quote; what follows up to the delimiter is dropped, and an unclosed quote
// runs to the end of the file. Bytes are read as UTF-8 field by field, so a big file is never
// held twice; a byte order mark opening the file is skipped, one opening a later field stays.
class QuotedFieldReader {
public:
    QuotedFieldReader(QByteArrayView content, QuotedFieldRules rules);
    bool next(QString& field);
    QStringList all();

private:
    bool isBlank(char c) const { return m_rules.blanks.contains(c); }
    qsizetype toDelimiter(qsizetype pos) const;
    QString quoted(qsizetype open, qsizetype& end);
    QString doubledQuoted(qsizetype open, qsizetype& end);
    QString decode(QByteArrayView bytes);

    QByteArrayView m_s;
    QuotedFieldRules m_rules;
    qsizetype m_pos = 0;
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom};
};
