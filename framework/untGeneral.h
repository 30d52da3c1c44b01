#pragma once

// Settings of the whole system: one INI file "Kelvra.ini" beside the executable, read and written key by key.

#include <QString>

namespace kelvra {

// The folder of the running executable, ending in a path separator. Tests point it at a folder of their own.
QString executableFolder();
void setExecutableFolder(const QString& folder);

// The settings file's path: the executable's folder followed directly by "Kelvra.ini".
QString settingsPath();

// The stored value, or the empty string when the file or the key is missing. Section and key are matched without
// regard to case; blanks around the value and one pair of enclosing quotation marks are dropped; at most 2047
// characters are returned.
QString ReadSetting(const QString& section, const QString& key);

// Stores the value under the key, creating the file, the section or the key as needed and keeping every other
// line of the file. Fails with "Unable to write to <path>".
void WriteSetting(const QString& section, const QString& key, const QString& value);

} // namespace kelvra
