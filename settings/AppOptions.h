#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QSettings;
class QString;

// Status codes of the settings accessors, as the registry reported them.
inline constexpr int kSettingsOk = 0;
inline constexpr int kSettingsNotFound = 2;     // no store, or no such value
inline constexpr int kSettingsAccessDenied = 5; // the store cannot be written
inline constexpr int kSettingsMoreData = 234;   // the value is too long to read back

// The settings store of the program: one QSettings file per user, named after
// the company and product of the version information, with the system-wide
// file as a fallback for reading. Values are read when needed, never cached.
class CAppOptions {
public:
    CAppOptions();
    virtual ~CAppOptions();
    CAppOptions(const CAppOptions&) = delete;
    CAppOptions& operator=(const CAppOptions&) = delete;

    // Opens the store of `strProduct` by `strCompany`. Without both names
    // every read gives its default and every write is lost.
    int OpenSettingsKey(const std::string& strCompany, const std::string& strProduct);

    // Opens the settings file at `strPath`, such as a project's
    // .glosscutter.conf, as the store: nothing else is read, missing keys take
    // their defaults, and ResolvePath resolves against the file's folder.
    int OpenSettingsFile(const std::string& strPath);

    // `strPath` as a load uses it: a relative path from a settings file,
    // joined to that file's folder; anything else as it is.
    std::string ResolvePath(const std::string& strPath) const;

    // Texts longer than this cannot be read back; a read then gives the default.
    static constexpr std::size_t kMaxTextBytes = 259;

    std::string m_strKeyPath;    // the file of the open store; empty while none is open
    std::string m_strBaseFolder; // what relative paths are relative to; empty: as given

protected:
    int ReadText(const QString& name, std::string& value, std::string_view fallback) const;
    int WriteText(const QString& name, const std::string& value);
    int ReadNumber(const QString& name, std::uint32_t& value, std::uint32_t fallback) const;
    int WriteNumber(const QString& name, std::uint32_t value);

private:
    int Flush();

    std::unique_ptr<QSettings> m_pSettings; // none until OpenSettingsKey succeeds
};
