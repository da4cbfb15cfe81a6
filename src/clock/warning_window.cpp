#include "clock/warning_window.h"

#include "app/program.h"
#include "core/model/twips.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

// Additional copies rank below every code, so they never take the front back.
Form11::Form11(Program& program, bool isCopy) : FrontWindow(program, isCopy ? -1 : kFrontWarning), m_isCopy(isCopy) {}

Qt::WindowFlags Form11::WindowFlags() const
{
    return Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void Form11::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Warning Message"));
    w->setFixedSize(twipsToPixels(3432), twipsToPixels(1716));
    Label1 = new QLabel(w);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsToPixels(240), twipsToPixels(120), twipsToPixels(3012), twipsToPixels(972));
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("background-color: rgb(192, 192, 192);"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdOk = new QPushButton(QStringLiteral("OK"), w);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(twipsToPixels(1320), twipsToPixels(1200), twipsToPixels(732), twipsToPixels(372));
    cmdOk->setDefault(true);
    QObject::connect(cmdOk, &QPushButton::clicked, [this] { cmdOk_Click(); });
    CenterOnScreen();
}

void Form11::ReleaseControls()
{
    Label1 = nullptr;
    cmdOk = nullptr;
}

void Form11::Form_Load() { RememberFront(Remember::WhileZero); }

QString Form11::LabelText() { window(); return Label1->text(); }

void Form11::AnswerOk(const QString& ErrorMsgStr)
{
    Load();  // calling into the window loads it first, so its load sees the code before this warning
    if (!Visible()) {
        ClaimFront();
        p.platform.beep();
        Label1->setText(ErrorMsgStr);
        p.gForegroundResult = p.platform.setForegroundWindow(window());
        p.gWindowPosResult = p.platform.setWindowPosTopmost(window());
        Show();
        return;
    }
    Form11& copy = p.newForm11Copy();
    copy.ShowWarning(ErrorMsgStr);
}

void Form11::ShowWarning(const QString& text)
{
    Load();
    Label1->setText(text);
    p.gWindowPosResult = p.platform.setWindowPosTopmost(window());
    Show();
}

void Form11::cmdOk_Click()
{
    LeaveFront();
    Unload();
    if (m_isCopy) p.releaseForm11Copy(this);
}

void Form11::Form_Deactivate()
{
    if (!Loaded()) return;
    if (Visible()) {
        TakeFrontBack();
    } else {
        Unload();
        if (m_isCopy) p.releaseForm11Copy(this);
    }
}

// The program keeps the copies; they are made and released here, where a copy is known.
Form11& Program::newForm11Copy()
{
    m_retiredCopies.clear();
    m_form11Copies.push_back(std::make_unique<Form11>(*this, true));
    return *m_form11Copies.back();
}

void Program::releaseForm11Copy(Form11* copy)
{
    // Kept until the next copy is made: the copy may be releasing itself from its own handler.
    auto it = std::find_if(m_form11Copies.begin(), m_form11Copies.end(),
                           [copy](const std::unique_ptr<Form11>& f) { return f.get() == copy; });
    if (it == m_form11Copies.end()) return;
    m_retiredCopies.push_back(std::move(*it));
    m_form11Copies.erase(it);
}
