#include "core/clock/caption_clock.h"

#include <vector>

namespace {
// A format as pieces: a run of one field letter, a quoted text (quotes kept), or other text.
struct Piece {
    enum Kind { Field, Quoted, Other } kind;
    QString text;
};

std::vector<Piece> split(const QString& f)
{
    std::vector<Piece> out;
    const qsizetype n = f.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = f.at(i);
        qsizetype j = i + 1;
        Piece::Kind kind = Piece::Other;
        if (c == u'\'') {
            kind = Piece::Quoted;
            // '' inside a quoted text is a quote of the text; the next lone quote ends it.
            while (j < n) {
                if (f.at(j) == u'\'') {
                    if (j + 1 < n && f.at(j + 1) == u'\'') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
        } else if (c.isLetter()) {
            kind = Piece::Field;
            while (j < n && f.at(j) == c) ++j;
        } else {
            while (j < n && f.at(j) != u'\'' && !f.at(j).isLetter()) ++j;
        }
        out.push_back({kind, f.mid(i, j - i)});
        i = j;
    }
    return out;
}

bool isZone(const Piece& p) { return p.kind == Piece::Field && p.text.front() == u't'; }
}  // namespace

QString withoutTimeZone(const QString& format)
{
    std::vector<Piece> pieces = split(format);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (!isZone(pieces[i])) continue;
        Piece* before = i > 0 && pieces[i - 1].kind == Piece::Other ? &pieces[i - 1] : nullptr;
        Piece* after = i + 1 < pieces.size() && pieces[i + 1].kind == Piece::Other ? &pieces[i + 1] : nullptr;
        // "(t)" and "[t]" go with their brackets.
        if (before && after && (before->text.endsWith(u'(') || before->text.endsWith(u'[')) &&
            (after->text.startsWith(u')') || after->text.startsWith(u']'))) {
            before->text.chop(1);
            after->text.remove(0, 1);
        }
        const bool first = i == 0 || (i == 1 && before);
        const bool last = i + 1 == pieces.size() || (i + 2 == pieces.size() && after);
        if (last && before) {
            // The separator that led to the zone: ", ", " ".
            while (!before->text.isEmpty() && (before->text.back().isSpace() || before->text.back() == u','))
                before->text.chop(1);
        }
        if (first && after) {
            while (!after->text.isEmpty() && after->text.front().isSpace()) after->text.remove(0, 1);
        }
        pieces[i].text.clear();
    }
    QString out;
    for (const Piece& p : pieces) out += p.text;
    return out.trimmed();
}

QString generalDateTime(const QDateTime& t, const QLocale& locale)
{
    return locale.toString(t.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(t.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}
