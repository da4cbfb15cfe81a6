#include "dialogs/overwrite_window.h"

#include "app/program.h"
#include "core/model/twips.h"
#include "dialogs/control_binding.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>

Form13::Form13(Program& program) : FrontWindow(program, kFrontOverwrite) {}

Qt::WindowFlags Form13::WindowFlags() const
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void Form13::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz Warning Message"));
    w->setFixedSize(twipsToPixels(3336), twipsToPixels(1212));
    Label1 = new QLabel(QStringLiteral("File already exist, overwrite ?"), w);
    place(Label1, "Label1", twipsRect(480, 240, 2532, 252));
    // Fonts here run wider than the design's: let the question reach to the window's edge.
    Label1->resize(std::max(Label1->width(), std::min(Label1->sizeHint().width(), w->width() - Label1->x())),
                   Label1->height());
    cmdYes = new QPushButton(QStringLiteral("Yes"), w);
    place(cmdYes, "cmdYes", twipsRect(1200, 720, 732, 252));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), w);
    place(cmdCancel, "cmdCancel", twipsRect(2280, 720, 732, 252));
    // Enter presses whichever button has the focus.
    cmdYes->setAutoDefault(true);
    cmdCancel->setAutoDefault(true);
    QObject::connect(cmdYes, &QPushButton::clicked, [this] { cmdYes_Click(); });
    QObject::connect(cmdCancel, &QPushButton::clicked, [this] { cmdCancel_Click(); });
    w->setTabOrder(cmdYes, cmdCancel);
    cmdYes->setFocus();
    CenterOnScreen();
}

void Form13::ReleaseControls()
{
    cmdCancel = nullptr;
    cmdYes = nullptr;
    Label1 = nullptr;
}

void Form13::FileAlreadyExist(std::function<void()> write)
{
    Load();
    RememberFront(Remember::WhileZero);
    ClaimFront();
    p.gWindowPosResult = p.platform.setWindowPosTopmost(window());
    Show();
    m_write = std::move(write);
    p.platform.beep();
}

void Form13::cmdYes_Click()
{
    // Closed before writing, so that a warning about a failed write keeps the front.
    Unload();
    const std::function<void()> write = m_write;  // the write may ask again
    if (write) write();
}

void Form13::cmdCancel_Click() { Unload(); }

void Form13::Form_QueryUnload() { LeaveFront(); }
