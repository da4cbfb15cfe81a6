#include "clock/message_window.h"

#include "app/message_font.h"
#include "app/program.h"
#include "app/twips.h"
#include "clock/main_window.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

Form6::Form6(Program& program) : FormBase(program) {}

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

Qt::WindowFlags Form6::WindowFlags() const
{
    return Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
           Qt::WindowCloseButtonHint;
}

void Form6::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Message"));
    w->resize(twipsToPixels(4476), twipsToPixels(2892));
    txtMsg = new QPlainTextEdit(w);
    txtMsg->setObjectName(QStringLiteral("txtMsg"));
    txtMsg->setReadOnly(true);
    txtMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMsg->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(4332), twipsToPixels(2292));
    QFont font(QString::fromLatin1(kMessageFontFamily));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(10.2);
    font.setWeight(QFont::Normal);
    txtMsg->setFont(font);
    cmdOk = new QPushButton(QStringLiteral("OK"), w);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(twipsToPixels(3600), twipsToPixels(2520), twipsToPixels(612), twipsToPixels(252));
    QObject::connect(cmdOk, &QPushButton::clicked, [this] { cmdOk_Click(); });
    m_text.clear();
    CenterOnScreen();
}

void Form6::ReleaseControls()
{
    txtMsg = nullptr;
    cmdOk = nullptr;
    m_text.clear();
}

void Form6::Form_Load()
{
    p.gMsgWindowLoaded = VTrue;
    if (PrevFrontCode == 0) PrevFrontCode = p.gFrontCode;
    p.gFrontCode = kFrontMessage;
    if (const std::optional<int> size = readMessageFontSize(p.gAppPath, p.settingsRecord)) {
        QFont font = txtMsg->font();
        font.setPointSize(*size);
        txtMsg->setFont(font);
    }
    p.gWindowPosResult = p.platform.setWindowPosTopmost(window());
}

QString Form6::MsgText()
{
    window();
    return m_text;
}

void Form6::SetMsgText(const QString& text)
{
    window();
    m_text = text;
    txtMsg->setPlainText(shownMessageText(text));
    txtMsg->moveCursor(QTextCursor::End);
}

void Form6::SetCaption(const QString& caption) { window()->setWindowTitle(caption); }
QString Form6::Caption() { return window()->windowTitle(); }
double Form6::MsgFontPointSize() { window(); return txtMsg->font().pointSizeF(); }

void Form6::cmdOk_Click() { Unload(); }

void Form6::Form_QueryUnload()
{
    p.form1().WhoWillForeground(PrevFrontCode);
    p.gFrontCode = 0;
    p.gMsgWindowLoaded = VFalse;
}

void Form6::Form_Deactivate()
{
    if (!Loaded() || Minimized()) return;
    if (p.gFrontCode <= kFrontMessage) {
        p.gForegroundResult = p.platform.setForegroundWindow(window());
        p.platform.beep();
        p.gFrontCode = kFrontMessage;
    }
}

void Form6::Form_Resize()
{
    if (Minimized()) {
        p.gFrontCode = 0;
        p.form1().WhoWillForeground(PrevFrontCode);
    }
}
