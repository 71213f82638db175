#include "kept_settings.h"

#include <QSettings>

#include "quantity_field.h"

namespace moravik::raceday_window {
namespace {

// Long enough for any number a person types; a longer setting is damage.
constexpr qsizetype longestSettingText = 200;

}  // namespace

std::optional<QString> settingText(const QSettings& settings, const QString& key,
                                   QStringList& problems) {
    if (!settings.contains(key)) return std::nullopt;
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QString || value.toString().size() > longestSettingText) {
        problems.append(key);
        return std::nullopt;
    }
    return value.toString();
}

void saveFields(QSettings& settings, KeptFields fields) {
    for (const auto& [key, field] : fields) field->save(settings, QLatin1String(key));
}

void loadFields(QSettings& settings, KeptFields fields, QStringList& problems) {
    QStringList local;
    for (const auto& [key, field] : fields) field->load(settings, QLatin1String(key), local);
    for (const QString& key : local) problems.append(settings.group() + QLatin1Char('/') + key);
}

}  // namespace moravik::raceday_window
