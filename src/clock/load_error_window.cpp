#include "clock/load_error_window.h"

#include "core/model/twips.h"

#include <QListWidget>
#include <QPushButton>

Form10::Form10(Program& program) : FormBase(program) {}

Qt::WindowFlags Form10::WindowFlags() const
{
    return Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void Form10::CreateControls(FormWindow* w)
{
    w->setWindowTitle(QStringLiteral("Voz load data error"));
    w->setFixedSize(twipsToPixels(4296), twipsToPixels(1980));
    lstErrorMsg = new QListWidget(w);
    lstErrorMsg->setObjectName(QStringLiteral("lstErrorMsg"));
    lstErrorMsg->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(4092), twipsToPixels(1104));
    lstErrorMsg->setStyleSheet(QStringLiteral("QListWidget { background-color: rgb(192, 192, 192); }"));
    cmdOk = new QPushButton(QStringLiteral("OK"), w);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(twipsToPixels(1800), twipsToPixels(1440), twipsToPixels(732), twipsToPixels(372));
    QObject::connect(cmdOk, &QPushButton::clicked, [this] { cmdOk_Click(); });
    CenterOnScreen();
}

void Form10::ReleaseControls()
{
    lstErrorMsg = nullptr;
    cmdOk = nullptr;
}

void Form10::AddErrorLine(const QString& line)
{
    window();
    lstErrorMsg->addItem(line);
}

QStringList Form10::ErrorLines()
{
    window();
    QStringList out;
    for (int i = 0; i < lstErrorMsg->count(); ++i) out << lstErrorMsg->item(i)->text();
    return out;
}

void Form10::cmdOk_Click() { Unload(); }
