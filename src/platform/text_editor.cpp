#include "platform/text_editor.h"

#include "platform/platform.h"

#include <QProcess>

namespace {

// Terminal emulators and the option after which each takes a command and its arguments.
struct Terminal {
    const char* name;
    const char* runOption;
};
constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"}, {"xterm", "-e"}, {"konsole", "-e"},
    {"gnome-terminal", "--"},      {"xfce4-terminal", "-x"},
};

// The user's editor from $VISUAL, else $EDITOR, split into program and arguments (no shell).
QStringList userEditorCommand()
{
    for (const char* var : {"VISUAL", "EDITOR"}) {
        const QStringList command = QProcess::splitCommand(qEnvironmentVariable(var));
        if (!command.isEmpty()) return command;
    }
    return {};
}

}  // namespace

bool startTextEditor(Platform& platform, const QString& path)
{
    const QString opener = platform.findProgram(QStringLiteral("xdg-open"));
    if (!opener.isEmpty() && platform.startProgram(opener, {path})) return true;

    QStringList editor = userEditorCommand();
    if (editor.isEmpty()) return false;
    const QString editorPath = platform.findProgram(editor.first());
    if (editorPath.isEmpty()) return false;
    editor.first() = editorPath;
    for (const Terminal& t : kTerminals) {
        const QString terminal = platform.findProgram(QString::fromLatin1(t.name));
        if (terminal.isEmpty()) continue;
        const QStringList arguments = QStringList{QString::fromLatin1(t.runOption)} + editor + QStringList{path};
        if (platform.startProgram(terminal, arguments)) return true;
    }
    return false;
}
