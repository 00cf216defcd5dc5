#include "usersettings.h"

#include <QStandardPaths>

namespace usersettings {
namespace {
QString& chosenFile() {
    static QString file;
    return file;
}
} // namespace

QString default_file() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/DanceEntry/DanceEntry.conf");
}

void use_file(const QString& file) {
    chosenFile() = file;
}

std::unique_ptr<QSettings> open() {
    if (chosenFile().isEmpty())
        return nullptr;
    return std::make_unique<QSettings>(chosenFile(), QSettings::IniFormat);
}

} // namespace usersettings
