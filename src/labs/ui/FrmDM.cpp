#include "labs/ui/FrmDM.h"

#include "common/ui/Guard.h"
#include "common/ui/MainWindow.h"
#include "common/ui/Widgets.h"
#include "labs/ui/LaboPage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv {

FrmDM::FrmDM(MainWindow &main, LaboWidgets &w)
    : QDialog(main.widget())
    , m_main(main)
    , m_w(w)
{
    setObjectName(QStringLiteral("FrmDM"));
    setWindowTitle(QStringLiteral(" "));
    setModal(true);
    resize(360, 420);

    Label1 = named<QLabel>(QStringLiteral("Label1"), this,
                           QStringLiteral("Retrouvez le Laboratoire à partir du Délégué Médical"));
    Label1->setWordWrap(true);
    LstDM = named<ListBox>(QStringLiteral("LstDM"), this);
    LblLabo = named<QLabel>(QStringLiteral("LblLabo"), this);
    QFont bold = LblLabo->font();
    bold.setBold(true);
    LblLabo->setFont(bold);
    LblLabo->setAlignment(Qt::AlignCenter);
    CmdQuit = named<QPushButton>(QStringLiteral("CmdQuit"), this, QStringLiteral("Quitter"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(LstDM, 1);
    layout->addWidget(LblLabo);
    layout->addWidget(CmdQuit);

    connect(LstDM, &QListWidget::currentRowChanged, this, [this] { LstDM_Click(); });
    connect(LstDM, &ListBox::reselected, this, [this] { LstDM_Click(); });
    connect(LstDM, &ListBox::doubleClicked, this, [this] { CmdQuit_Click(); });
    connect(CmdQuit, &QPushButton::clicked, this, [this] { CmdQuit_Click(); });
}

void FrmDM::load()
{
    const QSignalBlocker blocker(LstDM);
    LstDM->clear();
    for (const LaboEntry &row : m_main.store().labos().all().get())
        LstDM->addItem(QStringLiteral("  ") + row.nom);
}

void FrmDM::LstDM_Click()
{
    if (LstDM->count() == 0 || LstDM->currentRow() < 0)
        return;
    guarded(this, [&] {
        if (const auto found = m_main.store().labos().findByNom(LstDM->text().trimmed()).get())
            LblLabo->setText(found->labo);
    });
}

void FrmDM::CmdQuit_Click()
{
    const QString labo = LblLabo->text().trimmed();
    ListBox *list = m_w.LstLabo;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->text().trimmed() == labo) {
            list->setCurrentRow(i);
            break;
        }
    }
    m_main.showTab(2);
    accept();
}

} // namespace tv
