#include "platform/mci_command.h"

#include <QList>

namespace voz::mci {

namespace {

struct Token {
    QString text;  // quotes taken off
    qsizetype begin = 0;
    qsizetype end = 0;  // one past the last character, closing quote included
    bool quoted = false;
};

// Splits at white space; a token that starts with a double quote runs to the next one.
std::optional<QList<Token>> tokenize(const QString& s)
{
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (true) {
        while (i < n && s.at(i).isSpace()) ++i;
        if (i >= n) break;
        Token t;
        t.begin = i;
        if (s.at(i) == QLatin1Char('"')) {
            const qsizetype close = s.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0) return std::nullopt;
            if (close + 1 < n && !s.at(close + 1).isSpace()) return std::nullopt;
            t.text = s.mid(i + 1, close - i - 1);
            t.quoted = true;
            i = close + 1;
        } else {
            while (i < n && !s.at(i).isSpace()) ++i;
            t.text = s.mid(t.begin, i - t.begin);
        }
        t.end = i;
        tokens.append(t);
    }
    return tokens;
}

bool isKeyword(const Token& t, QLatin1String word)
{
    return !t.quoted && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

// "type X" and "alias Y" pairs, each at most once, from tokens[from] on.
bool parseOptions(const QList<Token>& tokens, qsizetype from, Command& c)
{
    bool haveType = false, haveAlias = false;
    for (qsizetype i = from; i < tokens.size(); i += 2) {
        if (i + 1 >= tokens.size() || tokens[i + 1].text.isEmpty()) return false;
        if (isKeyword(tokens[i], QLatin1String("type")) && !haveType) {
            haveType = true;
            c.type = tokens[i + 1].text;
        } else if (isKeyword(tokens[i], QLatin1String("alias")) && !haveAlias) {
            haveAlias = true;
            c.alias = tokens[i + 1].text;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Command> parseCommand(const QString& text)
{
    const auto parsed = tokenize(text);
    if (!parsed || parsed->isEmpty()) return std::nullopt;
    const QList<Token>& tokens = *parsed;
    Command c;
    const Token& verb = tokens.first();
    if (isKeyword(verb, QLatin1String("play")) || isKeyword(verb, QLatin1String("close"))) {
        c.verb = isKeyword(verb, QLatin1String("play")) ? Verb::Play : Verb::Close;
        if (tokens.size() != 2 || tokens[1].text.isEmpty()) return std::nullopt;
        c.alias = tokens[1].text;
        return c;
    }
    if (!isKeyword(verb, QLatin1String("open")) || tokens.size() < 2) return std::nullopt;
    c.verb = Verb::Open;
    if (tokens[1].quoted) {
        c.file = tokens[1].text;
        if (c.file.isEmpty() || !parseOptions(tokens, 2, c)) return std::nullopt;
        return c;
    }
    // An unquoted file runs up to the first point from which the rest reads as options.
    qsizetype k = 2;
    for (; k < tokens.size(); ++k) {
        Command options;
        if (parseOptions(tokens, k, options)) {
            c.type = options.type;
            c.alias = options.alias;
            break;
        }
    }
    c.file = text.mid(tokens[1].begin, tokens[k - 1].end - tokens[1].begin);
    return c;
}

}  // namespace voz::mci
