// Texts kept in the settings, read back without trusting them.
#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <optional>
#include <utility>

class QSettings;

namespace moravik::raceday_window {

class QuantityField;

// A setting's text, or nothing when it is missing, not text or too long;
// `problems` then names the key, unless the key was missing.
std::optional<QString> settingText(const QSettings& settings, const QString& key,
                                   QStringList& problems);

// A section's fields kept under the settings' current group by key; problems
// name the full key.
using KeptFields = std::initializer_list<std::pair<const char*, QuantityField*>>;
void saveFields(QSettings& settings, KeptFields fields);
void loadFields(QSettings& settings, KeptFields fields, QStringList& problems);

}  // namespace moravik::raceday_window
