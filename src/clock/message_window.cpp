#include "clock/message_window.h"

#include "core/files/message_font.h"
#include "app/program.h"
#include "core/model/twips.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

Form6::Form6(Program& program) : FrontWindow(program, kFrontMessage) {}

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
    RememberFront(Remember::WhileZero);
    ClaimFront();
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
    LeaveFront();
    p.gMsgWindowLoaded = VFalse;
}

void Form6::Form_Deactivate()
{
    // Minimised, it has given the front up (Form_Resize).
    if (Loaded() && !Minimized()) TakeFrontBack();
}

void Form6::Form_Resize()
{
    if (Minimized()) LeaveFront();
}
