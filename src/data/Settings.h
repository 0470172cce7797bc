#pragma once
#include <QString>
#include <QStringList>

// The per-user settings store: a text by application, section and key.
namespace Settings {

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue = QString());
void SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

// The sections of an application that hold settings, and removing one.
QStringList Sections(const QString& application);
void RemoveSection(const QString& application, const QString& section);

// Tests keep every setting in a file of their own instead of the user's store.
void useFile(const QString& iniFile);

} // namespace Settings
