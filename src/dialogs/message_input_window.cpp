#include "dialogs/message_input_window.h"

#include "core/files/message_font.h"
#include "app/program.h"
#include "core/files/settings_store.h"
#include "core/model/twips.h"
#include "dialogs/control_binding.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"

#include <QFont>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

namespace {
// Where the window opens until a stored position is read.
constexpr int kDesignLeft = 2400;
constexpr int kDesignTop = 1800;

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Length as the message is stored, where a line break is CR LF.
qsizetype storedLength(const QString& s)
{
    qsizetype n = 0;
    for (QChar c : s) n += isLineBreak(c) ? 2 : 1;
    return n;
}

// The longest start of `s` that fits into `room` stored characters, never splitting a character.
QString fitInto(const QString& s, int room)
{
    qsizetype end = 0;
    int used = 0;
    while (end < s.size()) {
        const int cost = isLineBreak(s.at(end)) ? 2 : 1;
        if (used + cost > room) break;
        used += cost;
        ++end;
    }
    if (end > 0 && end < s.size() && s.at(end - 1).isHighSurrogate()) --end;
    return s.left(end);
}

QString toStored(QString shown)
{
    shown.replace(QLatin1Char('"'), QLatin1Char('\''));
    shown.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return shown;
}

QString toShown(QString stored)
{
    stored.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return stored;
}

// The message box: typed characters pass the window's key handler, and no way of putting
// text in (typing, pasting, dropping, an input method) gets past the length limit.
class MessageEdit : public QPlainTextEdit {
public:
    MessageEdit(QWidget* parent, int maxLength) : QPlainTextEdit(parent), m_maxLength(maxLength) {}
    std::function<void(QChar&)> onKeyPress;
    // Text put in at once (a paste, a drop, an input method) did not fit whole.
    std::function<void()> onCut;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const bool lineBreak = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        QString text = e->text();
        bool typed = !text.isEmpty();
        for (QChar c : text) typed = typed && c.isPrint();
        if (!lineBreak && !typed) {
            QPlainTextEdit::keyPressEvent(e);
            return;
        }
        if ((lineBreak ? 2 : storedLength(text)) > room()) {
            e->accept();  // the box is full: nothing goes in
            return;
        }
        if (lineBreak || !onKeyPress) {
            QPlainTextEdit::keyPressEvent(e);
            return;
        }
        for (QChar& c : text) onKeyPress(c);
        QKeyEvent changed(e->type(), e->key(), e->modifiers(), text, e->isAutoRepeat(), e->count());
        QPlainTextEdit::keyPressEvent(&changed);
        e->setAccepted(changed.isAccepted());
    }

    void insertFromMimeData(const QMimeData* source) override
    {
        if (isReadOnly() || !source->hasText()) return;
        QString text = source->text();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        const QString fitted = fitInto(text, room());
        if (fitted.size() < text.size() && onCut) onCut();
        text = fitted;
        if (text.isEmpty()) return;
        QTextCursor cursor = textCursor();
        cursor.insertText(text);
        setTextCursor(cursor);
        ensureCursorVisible();
    }

    void inputMethodEvent(QInputMethodEvent* e) override
    {
        const QString fitted = fitInto(e->commitString(), room());
        if (fitted == e->commitString()) {
            QPlainTextEdit::inputMethodEvent(e);
            return;
        }
        QInputMethodEvent changed(e->preeditString(), e->attributes());
        changed.setCommitString(fitted, e->replacementStart(), e->replacementLength());
        QPlainTextEdit::inputMethodEvent(&changed);
        if (onCut) onCut();
    }

private:
    // Characters that can still go in, counting what the input would replace.
    int room() const
    {
        return static_cast<int>(m_maxLength - storedLength(toPlainText()) + storedLength(textCursor().selectedText()));
    }
    int m_maxLength;
};

// A label that acts as a button: a click on it runs its handler.
class ButtonLabel : public QLabel {
public:
    ButtonLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), m_onClick(std::move(onClick))
    {
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && m_onClick) m_onClick();
    }

private:
    std::function<void()> m_onClick;
};

QLabel* fontButton(const QString& text, QWidget* parent, std::function<void()> onClick)
{
    auto* l = new ButtonLabel(text, parent, std::move(onClick));
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    l->setBackgroundRole(QPalette::Base);  // the window colour of text boxes, set off from the dialog
    l->setFrameShape(QFrame::Box);
    return l;
}
}  // namespace

Form5::Form5(Program& program) : FrontWindow(program, kFrontMessageInput) {}

Qt::WindowFlags Form5::WindowFlags() const
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void Form5::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Input message"));
    w->setFixedSize(twipsToPixels(4332), twipsToPixels(2820));
    w->move(twipsToPixels(kDesignLeft), twipsToPixels(kDesignTop));

    // Neither button is a default or cancel button: Enter breaks the line, Escape does nothing.
    cmdCancel = new QPushButton(QStringLiteral("Abandon"), w);
    place(cmdCancel, "cmdCancel", twipsRect(3240, 2280, 972, 372));
    cmdCancel->setAutoDefault(false);
    QObject::connect(cmdCancel, &QPushButton::clicked, [this] { cmdCancel_Click(); });

    auto* edit = new MessageEdit(w, kMaxMessageLength);
    edit->onKeyPress = [this](QChar& c) { txtInput_KeyPress(c); };
    edit->onCut = [this] {
        p.form11().AnswerOk(QStringLiteral("A message holds at most %1 characters: the pasted text was cut to fit.")
                                .arg(kMaxMessageLength));
    };
    txtInput = edit;
    place(txtInput, "txtInput", twipsRect(240, 120, 3852, 2052));
    txtInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtInput->setTabChangesFocus(true);
    QFont font(QString::fromLatin1(kMessageFontFamily));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(9);
    txtInput->setFont(font);

    cmdOk = new QPushButton(QStringLiteral("Save"), w);
    place(cmdOk, "cmdOk", twipsRect(2040, 2280, 972, 372));
    cmdOk->setAutoDefault(false);
    QObject::connect(cmdOk, &QPushButton::clicked, [this] { cmdOk_Click(); });

    lblFontSize = new QLabel(QStringLiteral("Font size :"), w);
    place(lblFontSize, "lblFontSize", twipsRect(120, 2400, 852, 252));
    // Our dialog font is wider than the one the window was drawn for: let the caption use the
    // gap up to "-" rather than lose its colon.
    const int gap = twipsToPixels(1080 - 120) - 1;
    lblFontSize->resize(qBound(lblFontSize->width(), lblFontSize->sizeHint().width(), gap), lblFontSize->height());
    lblMinus = fontButton(QStringLiteral("-"), w, [this] { lblMinus_Click(); });
    place(lblMinus, "lblMinus", twipsRect(1080, 2400, 252, 252));
    lblPlus = fontButton(QStringLiteral("+"), w, [this] { lblPlus_Click(); });
    place(lblPlus, "lblPlus", twipsRect(1440, 2400, 252, 252));

    QWidget::setTabOrder(txtInput, cmdOk);
    QWidget::setTabOrder(cmdOk, cmdCancel);
    txtInput->setFocus();
}

void Form5::ReleaseControls()
{
    txtInput = nullptr;
    cmdOk = nullptr;
    cmdCancel = nullptr;
    lblFontSize = nullptr;
    lblMinus = nullptr;
    lblPlus = nullptr;
}

std::optional<QString> Form5::SelectedAlarm()
{
    // A closed Alarm Set window has no selection; asking must not load it afresh.
    if (!p.form4().Loaded()) return std::nullopt;
    const ListBox& lstData = p.form4().c().lstData;
    if (lstData.ListIndex() < 0) return std::nullopt;
    return lstData.CurrentText();
}

void Form5::SetInputFontSize(double points)
{
    QFont font = txtInput->font();
    font.setPointSizeF(points);
    txtInput->setFont(font);
}

void Form5::Form_Load()
{
    ClaimFront();
    m_kept = false;
    m_taken.reset();
    qsizetype tooLong = 0;

    if (const std::optional<int> size = readMessageFontSize(p.gAppPath, p.settingsRecord)) SetInputFontSize(*size);

    // The alarm's present message comes out of the list for editing; only "Save" puts it back.
    if (const std::optional<QString> alarm = SelectedAlarm(); alarm && !alarm->isEmpty()) {
        ListBox& lstMessage = p.form4().c().lstMessage;
        const QString time = alarm->right(8);
        for (int i = 0; i < lstMessage.ListCount(); ++i) {
            const QString item = lstMessage.List(i);
            if (item.right(8) != time) continue;
            const QString text = toShown(item.left(qMax<qsizetype>(0, item.size() - 12)));
            // A longer message (only a hand-edited data file holds one) stays in the list as it
            // is: the box could not hold it, and laying out a huge text would stop the clock.
            if (const qsizetype length = storedLength(text); length > kMaxMessageLength) {
                tooLong = length;
                break;
            }
            txtInput->setPlainText(text);
            txtInput->moveCursor(QTextCursor::End);
            m_taken = item;
            m_takenAt = i;
            lstMessage.RemoveItem(i);
            break;
        }
    }

    SettingsReader reader(p.gAppPath);
    if (reader.exists()) {
        reader.read(2, p.settingsRecord);
        if (p.settingsRecord.Label() == QStringLiteral("[MessaegInputLoc]"))
            MoveTwips(p.settingsRecord.Value1, p.settingsRecord.Value2);
    }

    if (tooLong > 0) {
        m_kept = true;
        txtInput->setReadOnly(true);
        txtInput->setPlaceholderText(QStringLiteral("Too long to edit here; the message is kept as it is."));
        p.form11().AnswerOk(QStringLiteral("The message of this alarm is too long to edit here (%1 characters, "
                                           "at most %2). It is kept as it is.")
                                .arg(tooLong)
                                .arg(kMaxMessageLength));
    }
}

void Form5::cmdOk_Click()
{
    p.settingsRecord.setLabel(QStringLiteral("[FontSize]"));
    p.settingsRecord.Value1 = static_cast<std::int16_t>(roundHalfEven(txtInput->font().pointSizeF()));
    storeSettingsRecordOrWarn(p, p.host(), 7, p.settingsRecord);

    // Pasted or dropped text never passed the key handler: no double quote may reach the list,
    // where it would end the message's field in a data file.
    const QString text = toStored(txtInput->toPlainText());
    const std::optional<QString> alarm = SelectedAlarm();
    if (m_kept) {
        // The alarm's message never left the list.
    } else if (!text.isEmpty() && alarm) {
        p.form4().c().lstMessage.AddItem(text + QStringLiteral(" at ") + alarm->right(8));
        m_taken.reset();
    } else if (text.isEmpty() && m_taken) {
        // The user emptied the box and saved: the message goes, as asked.
        m_taken.reset();
        p.form11().AnswerOk(QStringLiteral("No message input or Play list time was executed"));
    } else {
        p.form11().AnswerOk(QStringLiteral("No message input or Play list time was executed"));
    }
    Unload();
}

void Form5::cmdCancel_Click() { Unload(); }

void Form5::Form_QueryUnload()
{
    p.settingsRecord.setLabel(QStringLiteral("[MessaegInputLoc]"));
    p.settingsRecord.Value1 = twipsToInt16(TopTwips());
    p.settingsRecord.Value2 = twipsToInt16(LeftTwips());
    storeSettingsRecordOrWarn(p, p.host(), 2, p.settingsRecord);
    // Abandoned, closed or refused: the message the opening took out goes back to its place.
    if (m_taken && p.form4().Loaded()) {
        ListBox& lstMessage = p.form4().c().lstMessage;
        lstMessage.InsertItem(m_takenAt, *m_taken);
    }
    m_taken.reset();
    if (p.form4().Loaded()) p.form4().ShowMessagePlaceholder(false);
    // Nothing remembered: no window is put back on top.
    LeaveFront();
}

void Form5::lblMinus_Click()
{
    const double size = txtInput->font().pointSizeF();
    if (size <= 6) p.platform.beep();
    else SetInputFontSize(size - 1);
}

void Form5::lblPlus_Click()
{
    const double size = txtInput->font().pointSizeF();
    if (size >= 16.8) p.platform.beep();
    else SetInputFontSize(size + 1);
}

void Form5::txtInput_KeyPress(QChar& KeyAscii)
{
    // A double quote would end the message's field in a data file.
    if (KeyAscii == u'"') KeyAscii = u'\'';
}
