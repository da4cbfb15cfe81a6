#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>


// One 51-byte record of voz.ini: Label (17), Value1, Value2 (16-bit little-endian), Text (30).
// Text fields are UTF-8 padded with spaces; a value that does not fit is cut at a character
// boundary so that no field ends in half a character.
struct SettingsRecord {
    static constexpr int kLabelWidth = 17;
    static constexpr int kTextWidth = 30;
    static constexpr int kSize = kLabelWidth + 2 + 2 + kTextWidth;  // 51

    QByteArray LabelBytes = QByteArray(kLabelWidth, ' ');
    std::int16_t Value1 = 0;
    std::int16_t Value2 = 0;
    QByteArray TextBytes = QByteArray(kTextWidth, ' ');

    void setLabel(const QString& s);
    void setText(const QString& s);
    QString Label() const;  // the field as stored, padding included
    QString Text() const;

    QByteArray toBytes() const;
    static SettingsRecord fromBytes(const QByteArray& bytes);  // short input is zero-filled
};

// Fits UTF-8 text into a fixed field: cut at a character boundary, then padded with spaces.
QByteArray fitField(const QString& s, int width);

// Trims blanks (spaces only) at both ends, as the record readers do.
QString trimBlanks(const QString& s);

QString settingsPath(const QString& appPath);

// Store record n (1-based): creates the folder when missing and the file when absent. The
// record is written whole or not at all: room for it is taken first, so a full disk or a file
// size limit leaves the file as it was (records before it that were never written read as zero).
// False with the system's reason otherwise.
bool storeSettingsRecord(const QString& appPath, int n, const SettingsRecord& rec, QString* error = nullptr);

// A reader that opens voz.ini once and reads several records. Opening fails quietly when the
// file does not exist; reading a record that lies past the end gives an all-zero record.
// Something in the file's place that cannot be read gives all-zero records too, and problem()
// says why, for the one reader that tells the user.
class SettingsReader {
public:
    explicit SettingsReader(const QString& appPath);
    ~SettingsReader();
    SettingsReader(const SettingsReader&) = delete;
    SettingsReader& operator=(const SettingsReader&) = delete;
    bool exists() const { return m_exists; }
    bool read(int n, SettingsRecord& rec);
    // Empty, or why voz.ini is there but could not be read (the first failure).
    QString problem() const { return m_problem; }

private:
    int m_fd = -1;
    bool m_exists = false;
    QString m_problem;
};
