#include "app/message_font.h"

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
