#include "app/ui/FrmLabo.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // No organisation: an installed program keeps its settings in exactly
    // ~/.config/Tallvane (QStandardPaths::AppConfigLocation).
    QApplication::setOrganizationName(QString());
    QApplication::setApplicationName(QStringLiteral("Tallvane"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));

    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    tv::FrmLabo::connectEarly(QApplication::applicationDirPath());
    tv::FrmLabo window(QApplication::applicationDirPath());
    if (!window.startUp())
        return 1;
    window.show();
    return QApplication::exec();
}
