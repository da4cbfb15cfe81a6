#include "core/files/message_font.h"

#include <algorithm>

std::optional<int> readMessageFontSize(const QString& appPath, SettingsRecord& buffer)
{
    SettingsReader reader(appPath);
    if (!reader.exists()) return std::nullopt;
    reader.read(7, buffer);
    const QString label = trimBlanks(buffer.Label());
    buffer.setLabel(label);
    if (label != QStringLiteral("[FontSize]")) return std::nullopt;
    if (buffer.Value1 < kMessageFontMin || buffer.Value1 > kMessageFontMax) return std::nullopt;
    return buffer.Value1;
}

QString shownMessageText(const QString& text)
{
    // Laying out one long line costs time that grows with the square of its length (a 1 MB line
    // took minutes, with the clock stopped meanwhile), so a line is shown up to a length that
    // is still quick, keeping its start and its end (the time) with a note of what is left out.
    constexpr qsizetype kHead = kShownLineLength - kShownLineTail;
    constexpr qsizetype kPadding = 256;  // the blanks the window puts after a message
    QString shown;
    qsizetype from = 0;
    while (from <= text.size()) {
        const qsizetype next = text.indexOf(u'\n', from);
        qsizetype end = next < 0 ? text.size() : next;
        if (next > from && text.at(next - 1) == u'\r') --end;  // CR LF ends a line as LF does
        if (end - from <= kShownLineLength) {
            shown += QStringView(text).mid(from, end - from);
        } else {
            qsizetype last = end;
            while (last > from && text.at(last - 1) == u' ') --last;
            qsizetype head = std::min(kHead, last - from);
            qsizetype tail = std::min(kShownLineTail, last - from - head);
            // Never split a character made of two UTF-16 units.
            if (head > 0 && text.at(from + head - 1).isHighSurrogate()) --head;
            if (tail > 0 && text.at(last - tail).isLowSurrogate()) --tail;
            shown += QStringView(text).mid(from, head);
            const qsizetype hidden = last - from - head - tail;
            if (hidden > 0) shown += QStringLiteral(" \u2026 (%1 more characters not shown) \u2026 ").arg(hidden);
            shown += QStringView(text).mid(last - tail, tail);
            shown += QStringView(text).mid(last, std::min(kPadding, end - last));
        }
        if (next < 0) break;
        shown += u'\n';
        from = next + 1;
    }
    return shown;
}
