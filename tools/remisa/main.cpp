// Remisa: backs up, checks and compacts the database the program uses.
// It runs while the main program is closed and is given nothing: the
// database is found through the program folder's CheminBase.cfg.
#include "maintenance/core/Repair.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QString kTitle = QStringLiteral("Tallvane - réparation de la base de données");

// A window that says what is going on while the work runs.
class Waiting : public QWidget {
public:
    explicit Waiting(const QString &database)
    {
        setWindowTitle(kTitle);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("Vérification et compactage de la base de données\n« %1 »...\n\n"
                                                    "Veuillez patienter.")
                                         .arg(QDir::toNativeSeparators(database)),
                                     this));
        setMinimumWidth(420);
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Remisa"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFrench;
    if (qtFrench.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);

    QString database;
    try {
        database = tv::repair::locateDatabase(tv::files::settingsFolder(QApplication::applicationDirPath()));
    } catch (const tv::StoreError &error) {
        QMessageBox::critical(nullptr, kTitle, error.fullText());
        return 2;
    }

    Waiting waiting(database);
    waiting.show();
    QApplication::processEvents();
    const tv::repair::Report report = tv::repair::run(database);
    waiting.hide();

    const QString text = tv::repair::describe(report);
    if (report.status == tv::repair::Status::Repaired || report.status == tv::repair::Status::Access
        || report.status == tv::repair::Status::OnServer) {
        QMessageBox::information(nullptr, kTitle, text);
        return 0;
    }
    QMessageBox::critical(nullptr, kTitle, text);
    return 1;
}
