#include "backups/ui/FrmSauvegardes.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tv {

namespace {

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::French).toString((bytes + 1023) / 1024) + QStringLiteral(" ko");
}

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FrmSauvegardes::FrmSauvegardes(const QList<backups::Entry> &entries, QWidget *parent)
    : QDialog(parent)
    , m_entries(entries)
{
    setObjectName(QStringLiteral("FrmSauvegardes"));
    setWindowTitle(QStringLiteral("Sauvegardes de la base de données"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Choisissez la sauvegarde à restaurer. Une copie de l'état actuel "
                                                "est faite avant de la remettre en place."),
                                 this));
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("LstSauvegardes"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    layout->addWidget(m_table);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_restore = buttons->addButton(QStringLiteral("Restaurer"), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("CmdRestaurer"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_restore, &QPushButton::clicked, this, [this] {
        if (const int row = restorableRow(); row >= 0)
            emit restoreRequested(m_entries[row].path);
    });
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &FrmSauvegardes::selectionChanged);

    fill();
    selectionChanged();
    resize(760, 420);
}

void FrmSauvegardes::fill()
{
    QStringList headers{QStringLiteral("Date"), QStringLiteral("Taille")};
    const QList<QPair<QString, qint64>> *tables = nullptr;
    for (const backups::Entry &e : m_entries) {
        if (e.sound()) {
            tables = &e.rows;
            break;
        }
    }
    const qsizetype tableCount = tables ? tables->size() : 0;
    for (qsizetype i = 0; i < tableCount; ++i)
        headers.append((*tables)[i].first);
    headers.append(QStringLiteral("État"));
    m_table->setColumnCount(int(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->setRowCount(int(m_entries.size()));

    const QLocale french(QLocale::French);
    for (int row = 0; row < m_entries.size(); ++row) {
        const backups::Entry &e = m_entries[row];
        m_table->setItem(row, 0, cell(french.toString(e.taken, QStringLiteral("dd/MM/yyyy HH:mm:ss"))));
        m_table->setItem(row, 1, cell(sizeText(e.size), true));
        for (int t = 0; t < tableCount; ++t)
            m_table->setItem(row, 2 + t, cell(e.sound() ? french.toString(e.rows.value(t).second) : QString(), true));
        m_table->setItem(row, int(2 + tableCount), cell(e.sound() ? QStringLiteral("Bonne") : e.problem));
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
}

int FrmSauvegardes::restorableRow() const
{
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    const int row = rows.first().row();
    return row < m_entries.size() && m_entries[row].sound() ? row : -1;
}

void FrmSauvegardes::selectionChanged()
{
    m_restore->setEnabled(restorableRow() >= 0);
}

} // namespace tv
