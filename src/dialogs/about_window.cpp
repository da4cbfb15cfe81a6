#include "dialogs/about_window.h"

#include "core/model/twips.h"
#include "dialogs/control_binding.h"
#include "dialogs/pictures.h"
#include "platform/x11_frame.h"

#include <QLabel>
#include <QPushButton>

Form3::Form3(Program& program) : FormBase(program) {}

Qt::WindowFlags Form3::WindowFlags() const
{
    // A title bar without any buttons.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}

void Form3::CreateControls(FormWindow* w)
{
    // A blank, not an empty title: given none, the window system shows the program's name.
    w->setWindowTitle(QStringLiteral(" "));
    requestBareDialogFrame(w);
    w->setFixedSize(twipsToPixels(4788), twipsToPixels(3120));

    // The background first, so that everything else lies on top of it.
    imgClouds = new QLabel(w);
    place(imgClouds, "imgClouds", twipsRect(0, 0, 4920, 3120));
    imgClouds->setScaledContents(true);
    imgClouds->setPixmap(cloudsPicture(imgClouds->size()));

    imgMyName = new QLabel(w);
    place(imgMyName, "imgMyName", twipsRect(1200, 120, 2100, 984));
    imgMyName->setPixmap(aboutHeadingPicture(imgMyName->size()));

    Label2 = new QLabel(QStringLiteral("18 July 2001"), w);
    place(Label2, "Label2", twipsRect(3120, 1920, 1332, 252));
    Label2->setAutoFillBackground(false);

    cmdOk = new QPushButton(QStringLiteral("OK"), w);
    place(cmdOk, "cmdOk", twipsRect(120, 2760, 4572, 252));
    cmdOk->setDefault(true);
    cmdOk->setFocus();
    QObject::connect(cmdOk, &QPushButton::clicked, [this] { cmdOk_Click(); });

    CenterOnScreen();
}

void Form3::ReleaseControls()
{
    cmdOk = nullptr;
    Label2 = nullptr;
    imgMyName = nullptr;
    imgClouds = nullptr;
}

void Form3::cmdOk_Click() { Unload(); }
