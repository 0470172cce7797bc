#include "Settings.h"

#include <QSettings>
#include <memory>

namespace Settings {

namespace {

QString& injectedFile() {
    static QString file;
    return file;
}

std::unique_ptr<QSettings> store(const QString& application) {
    if (!injectedFile().isEmpty()) {
        auto settings = std::make_unique<QSettings>(injectedFile(), QSettings::IniFormat);
        settings->beginGroup(application);
        return settings;
    }
    return std::make_unique<QSettings>(QStringLiteral("Cheqora"), application);
}

} // namespace

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    auto settings = store(application);
    return settings->value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    auto settings = store(application);
    settings->setValue(section + QLatin1Char('/') + key, value);
    settings->sync();
}

QStringList Sections(const QString& application) {
    return store(application)->childGroups();
}

void RemoveSection(const QString& application, const QString& section) {
    auto settings = store(application);
    settings->remove(section);
    settings->sync();
}

void useFile(const QString& iniFile) {
    injectedFile() = iniFile;
}

} // namespace Settings
