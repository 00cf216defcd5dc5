#include "qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace {
// The translator installed by the last successful call; the application owns it.
QPointer<QTranslator> installed;
} // namespace

bool install_qt_translation() {
#ifdef Q_OS_WIN
    // The zip and the installer carry Qt's Japanese texts beside the program.
    if (install_qt_translation(QCoreApplication::applicationDirPath() + QStringLiteral("/translations")))
        return true;
#endif
    return install_qt_translation(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool install_qt_translation(const QString& folder) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return false;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    auto* translator = new QTranslator(application);
    // qtbase_ja.qm holds the texts of Qt's widgets and dialogs.
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}
