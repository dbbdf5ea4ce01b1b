#include "agenda/ui/FrmDate.h"

#include "agenda/core/AgendaFiles.h"
#include "agenda/core/Calendar.h"
#include "common/core/Clock.h"
#include "common/ui/Dialogs.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "store/engine/StoreError.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

namespace {

bool holdsDate(const QLineEdit *box)
{
    return calendar::parseJMA(box->text()).has_value();
}

} // namespace

FrmDate::FrmDate(MainWindow &main)
    : QDialog(main.widget())
    , m_main(main)
{
    setObjectName(QStringLiteral("FrmDate"));
    setWindowTitle(QStringLiteral("      Inscrire les dates d'absence du médecin"));
    setModal(true);
    buildWidgets();
    buildListView();
    connectSignals();
    Form_Load();
}

void FrmDate::buildWidgets()
{
    MV = named<QCalendarWidget>(QStringLiteral("MV"), this);
    MV->setLocale(QLocale(QLocale::French));
    MV->setFirstDayOfWeek(Qt::Monday);
    Label1 = named<QLabel>(QStringLiteral("Label1"), this, QStringLiteral("Date de début"));
    MEB3 = named<QLineEdit>(QStringLiteral("MEB3"), this);
    Label2 = named<QLabel>(QStringLiteral("Label2"), this, QStringLiteral("Date de fin"));
    MEB4 = named<QLineEdit>(QStringLiteral("MEB4"), this);
    for (QLineEdit *box : {MEB3, MEB4}) {
        box->setPlaceholderText(QStringLiteral("jj/mm/aaaa"));
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->installEventFilter(this);
    }
    CmdOK = named<QPushButton>(QStringLiteral("CmdOK"), this, QStringLiteral("Enregistrer"));
    CmdAnnule = named<QPushButton>(QStringLiteral("CmdAnnule"), this, QStringLiteral("Quitter"));
    CmdSupprime =
        named<QPushButton>(QStringLiteral("CmdSupprime"), this, QStringLiteral("Voir les dates / Supprimer une date"));
    cmdFoc = named<QPushButton>(QStringLiteral("cmdFoc"), this);
    cmdFoc->setFixedSize(0, 0);
    cmdFoc->setFlat(true);
    for (QPushButton *button : {CmdOK, CmdAnnule, CmdSupprime, cmdFoc})
        button->setAutoDefault(false);

    auto *boxes = new QGridLayout;
    boxes->addWidget(Label1, 0, 0);
    boxes->addWidget(MEB3, 0, 1);
    boxes->addWidget(Label2, 1, 0);
    boxes->addWidget(MEB4, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdOK);
    buttons->addWidget(CmdAnnule);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(MV, 1);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
    layout->addWidget(CmdSupprime);
    layout->addWidget(cmdFoc);
}

void FrmDate::buildListView()
{
    // The list view lies over the whole dialog, outside any layout.
    Frame0 = named<QFrame>(QStringLiteral("Frame0"), this);
    Frame0->setAutoFillBackground(true);
    Frame0->setFrameShape(QFrame::StyledPanel);
    LstDateAbs = named<ListBox>(QStringLiteral("LstDateAbs"), Frame0);
    LstS = named<QListWidget>(QStringLiteral("LstS"), Frame0);
    LstS->hide();
    LblAbsMed = named<QLabel>(QStringLiteral("LblAbsMed"), Frame0);
    Label3 =
        named<QLabel>(QStringLiteral("Label3"), Frame0, QStringLiteral("Double click sur une date pour la supprimer"));
    CmdEfface = named<QPushButton>(QStringLiteral("CmdEfface"), Frame0, QStringLiteral("Tout effacer"));
    CmdAjout = named<QPushButton>(QStringLiteral("CmdAjout"), Frame0, QStringLiteral("Ajouter une date"));
    CmdQuitte = named<QPushButton>(QStringLiteral("CmdQuitte"), Frame0, QStringLiteral("Quitter"));
    for (QPushButton *button : {CmdEfface, CmdAjout, CmdQuitte})
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdEfface);
    buttons->addWidget(CmdAjout);
    buttons->addWidget(CmdQuitte);
    auto *layout = new QVBoxLayout(Frame0);
    layout->addWidget(LblAbsMed);
    layout->addWidget(LstDateAbs, 1);
    layout->addWidget(Label3);
    layout->addLayout(buttons);
    Frame0->hide();
}

void FrmDate::connectSignals()
{
    connect(MV, &QCalendarWidget::clicked, this, [this](QDate date) { MV_DateClick(date); });
    connect(CmdOK, &QPushButton::clicked, this, [this] { CmdOK_Click(); });
    connect(CmdAnnule, &QPushButton::clicked, this, [this] { CmdAnnule_Click(); });
    connect(CmdQuitte, &QPushButton::clicked, this, [this] { CmdQuitte_Click(); });
    connect(CmdSupprime, &QPushButton::clicked, this, [this] { CmdSupprime_Click(); });
    connect(CmdAjout, &QPushButton::clicked, this, [this] { CmdAjout_Click(); });
    connect(CmdEfface, &QPushButton::clicked, this, [this] { CmdEfface_Click(); });
    connect(LstDateAbs, &ListBox::doubleClicked, this, [this] { LstDateAbs_DblClick(); });
    // A date typed in another accepted form is shown as the box stores it.
    for (QLineEdit *box : {MEB3, MEB4}) {
        connect(box, &QLineEdit::editingFinished, this, [box] {
            if (const auto date = calendar::parseJMA(box->text()))
                box->setText(calendar::formatJMA(*date));
        });
    }
}

QString FrmDate::doctorEntry() const
{
    return m_main.doctorEntry();
}

QString FrmDate::folder() const
{
    return m_main.state().CheminBase;
}

void FrmDate::Form_Load()
{
    setWindowTitle(QStringLiteral("      Dates d'absences de ") + doctorEntry().trimmed());
    MV->setSelectedDate(Clock::today());
    Charger_Dates_Absences();
}

void FrmDate::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdFoc->setFocus(Qt::OtherFocusReason);
}

void FrmDate::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Frame0->setGeometry(rect());
}

bool FrmDate::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == MEB3 || watched == MEB4) && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        static_cast<QLineEdit *>(watched)->clear();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmDate::showCount()
{
    LblAbsMed->setText(QString::number(LstDateAbs->count()) + QStringLiteral(" jour(s) d'absence"));
}

void FrmDate::Charger_Dates_Absences()
{
    std::optional<QStringList> lines;
    try {
        lines = agendafiles::readAbsences(folder(), doctorEntry());
    } catch (const StoreError &error) {
        dialogs::critical(this, error.fullText());
    }
    if (lines) {
        LstDateAbs->clear();
        LstS->clear();
        // Year first, the dates sort as texts. Each entry keeps its line so
        // that a damaged line can still be deleted.
        for (const QString &line : *lines) {
            if (line.trimmed().isEmpty())
                continue;
            auto *item = new QListWidgetItem(Date_JMA_vers_AMJ(line));
            item->setData(Qt::UserRole, line);
            LstS->addItem(item);
        }
        LstS->sortItems();
        for (int i = 0; i < LstS->count(); ++i) {
            auto *item = new QListWidgetItem(Date_AMJ_vers_JMA(LstS->item(i)->text()) + QStringLiteral("   "));
            item->setData(Qt::UserRole, LstS->item(i)->data(Qt::UserRole));
            LstDateAbs->addItem(item);
        }
    }
    showCount();
}

void FrmDate::MV_DateClick(const QDate &date)
{
    const QString text = calendar::formatJMA(date);
    const bool start = holdsDate(MEB3);
    const bool end = holdsDate(MEB4);
    if (!start && !end)
        MEB3->setText(text);
    else if (start && !end)
        MEB4->setText(text);
    else if (!start && end)
        MEB3->setText(text);
    else
        dialogs::information(this, QStringLiteral("Effacer la date à changer (click droit sur la zone de texte)."));
    cmdFoc->setFocus(Qt::OtherFocusReason);
}

void FrmDate::CmdOK_Click()
{
    const auto start = calendar::parseJMA(MEB3->text());
    const auto end = calendar::parseJMA(MEB4->text());
    if (!start || !end) {
        dialogs::message(this, QStringLiteral("Les dates d'absence sont mal renseignées !"), QMessageBox::Warning);
        return;
    }
    if (*end < *start) {
        dialogs::critical(this,
                          QStringLiteral("La date de fin est antérieure à la date de début, veuillez corriger !"));
        return;
    }

    // The days before an already recorded one are kept, as they were
    // entered; the period stops at the first known date.
    QStringList added;
    int known = -1;
    for (QDate day = *start; day <= *end && known < 0; day = day.addDays(1)) {
        for (int i = 0; i < LstDateAbs->count(); ++i) {
            if (calendar::parseJMA(LstDateAbs->item(i)->text()) == day) {
                known = i;
                break;
            }
        }
        if (known < 0)
            added.append(calendar::formatJMA(day));
    }
    try {
        agendafiles::appendAbsences(folder(), doctorEntry(), added);
    } catch (const StoreError &error) {
        dialogs::plain(this, error.fullText());
        return;
    }

    if (known >= 0) {
        dialogs::information(this, QStringLiteral("Date déjà enregistrée !"));
        MEB3->clear();
        MEB4->clear();
        LstDateAbs->setCurrentRow(known);
        Frame0->show();
        Frame0->raise();
        return;
    }
    m_main.Remplir_Agenda();
    Charger_Dates_Absences();
    MEB3->clear();
    MEB4->clear();
}

void FrmDate::leave()
{
    if (holdsDate(MEB3) && holdsDate(MEB4) && dialogs::askYesNo(this, QStringLiteral("Enregistrer les absences ?")))
        CmdOK_Click();
    // The main window closes its database before its dialogs.
    if (m_main.hasStore())
        m_main.Remplir_Agenda();
    QDialog::accept();
}

void FrmDate::CmdAnnule_Click()
{
    leave();
}

void FrmDate::CmdQuitte_Click()
{
    leave();
}

void FrmDate::reject()
{
    // Closing the window leaves it like the "Quitter" buttons, so that the
    // grid shows what was changed.
    leave();
}

void FrmDate::CmdSupprime_Click()
{
    Frame0->show();
    Frame0->raise();
}

void FrmDate::CmdAjout_Click()
{
    Frame0->hide();
    cmdFoc->setFocus(Qt::OtherFocusReason);
}

void FrmDate::LstDateAbs_DblClick()
{
    const int row = LstDateAbs->currentRow();
    if (row < 0)
        return;
    const QListWidgetItem *item = LstDateAbs->item(row);
    const QString date = item->text().trimmed();
    const QString line = item->data(Qt::UserRole).isValid() ? item->data(Qt::UserRole).toString() : date;
    if (dialogs::askYesNo(this, QStringLiteral("Supprimer ") + date + QStringLiteral(" ?"), true)) {
        try {
            agendafiles::removeAbsence(folder(), doctorEntry(), line);
            delete LstDateAbs->takeItem(row);
            m_main.Remplir_Agenda();
        } catch (const StoreError &error) {
            dialogs::critical(this, error.fullText());
        }
    }
    showCount();
}

void FrmDate::CmdEfface_Click()
{
    if (dialogs::askYesNo(this, QStringLiteral("Tout effacer ?"), true)) {
        try {
            agendafiles::removeAllAbsences(folder(), doctorEntry());
            LstDateAbs->clear();
            LstS->clear();
        } catch (const StoreError &error) {
            dialogs::critical(this, error.fullText());
        }
    }
    showCount();
}

} // namespace tv
