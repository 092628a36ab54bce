#include "AppOptions.h"

#include <QSettings>
#include <filesystem>

CAppOptions::CAppOptions() = default;

CAppOptions::~CAppOptions() = default;

int CAppOptions::OpenSettingsKey(const std::string& strCompany, const std::string& strProduct) {
    m_pSettings.reset();
    m_strKeyPath.clear();
    m_strBaseFolder.clear();
    if (strCompany.empty() || strProduct.empty())
        return kSettingsNotFound;
    m_pSettings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                    QString::fromUtf8(strCompany), QString::fromUtf8(strProduct));
    m_strKeyPath = m_pSettings->fileName().toStdString();
    return kSettingsOk;
}

int CAppOptions::OpenSettingsFile(const std::string& strPath) {
    m_pSettings.reset();
    m_strKeyPath.clear();
    m_strBaseFolder.clear();
    if (strPath.empty())
        return kSettingsNotFound;
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(strPath, ec);
    if (ec)
        return kSettingsNotFound;
    m_pSettings = std::make_unique<QSettings>(QString::fromStdString(absolute.string()),
                                              QSettings::IniFormat);
    m_strKeyPath = absolute.lexically_normal().string();
    m_strBaseFolder = std::filesystem::path(m_strKeyPath).parent_path().string();
    return kSettingsOk;
}

std::string CAppOptions::ResolvePath(const std::string& strPath) const {
    if (m_strBaseFolder.empty() || strPath.empty() || strPath.starts_with('/'))
        return strPath;
    std::string joined = (std::filesystem::path(m_strBaseFolder) / strPath).lexically_normal();
    while (joined.size() > 1 && joined.back() == '/')
        joined.pop_back();
    return joined;
}

int CAppOptions::ReadText(const QString& name, std::string& value,
                          std::string_view fallback) const {
    value.assign(fallback);
    if (!m_pSettings)
        return kSettingsNotFound;
    const QVariant stored = m_pSettings->value(name);
    if (!stored.isValid())
        return kSettingsNotFound;
    // Texts that are not UTF-8 (file names may be any bytes) are stored as
    // byte arrays, so they come back exactly.
    QByteArray bytes = stored.typeId() == QMetaType::QByteArray ? stored.toByteArray()
                                                                : stored.toString().toUtf8();
    if (static_cast<std::size_t>(bytes.size()) > kMaxTextBytes)
        return kSettingsMoreData;
    if (const auto nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    value.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return kSettingsOk;
}

int CAppOptions::WriteText(const QString& name, const std::string& value) {
    if (!m_pSettings)
        return kSettingsNotFound;
    const QByteArray bytes(value.data(), static_cast<qsizetype>(value.size()));
    const QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes)
        m_pSettings->setValue(name, text);
    else
        m_pSettings->setValue(name, bytes);
    return Flush();
}

int CAppOptions::ReadNumber(const QString& name, std::uint32_t& value,
                            std::uint32_t fallback) const {
    value = fallback;
    if (!m_pSettings)
        return kSettingsNotFound;
    bool bOk = false;
    const uint stored = m_pSettings->value(name).toUInt(&bOk);
    if (!bOk)
        return kSettingsNotFound;
    value = stored;
    return kSettingsOk;
}

int CAppOptions::WriteNumber(const QString& name, std::uint32_t value) {
    if (!m_pSettings)
        return kSettingsNotFound;
    m_pSettings->setValue(name, static_cast<uint>(value));
    return Flush();
}

// Writes through at once, so that the next read, in this process or in
// another front end, sees the value.
int CAppOptions::Flush() {
    m_pSettings->sync();
    return m_pSettings->status() == QSettings::NoError ? kSettingsOk : kSettingsAccessDenied;
}
