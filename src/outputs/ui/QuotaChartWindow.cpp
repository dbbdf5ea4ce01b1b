#include "outputs/ui/QuotaChartWindow.h"

#include "common/ui/Dialogs.h"
#include "common/ui/Guard.h"
#include "store/files/TextFile.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHBoxLayout>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QValueAxis>

namespace tv {

namespace {

constexpr int kBarPixels = 26;

QBarSet *barSet(const QString &name, const QColor &colour)
{
    auto *set = new QBarSet(name);
    set->setColor(colour);
    set->setBorderColor(colour.darker(120));
    return set;
}

} // namespace

QuotaChartWindow::QuotaChartWindow(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmGraphique"));
    setWindowTitle(QStringLiteral("Visites et quotas de l'année"));
    m_caption = new QLabel(this);
    m_view = new QChartView(this);
    m_view->setObjectName(QStringLiteral("ChartQuotas"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_view);
    auto *png = new QPushButton(QStringLiteral("Enregistrer en PNG…"), this);
    png->setObjectName(QStringLiteral("CmdPng"));
    auto *close = new QPushButton(QStringLiteral("Fermer"), this);
    connect(png, &QPushButton::clicked, this, &QuotaChartWindow::savePng);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(png);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_scroll, 1);
    m_rest = new QLabel(this);
    m_rest->setObjectName(QStringLiteral("LblAutres"));
    layout->addWidget(m_rest);
    layout->addLayout(buttons);
    resize(900, 650);
}

void QuotaChartWindow::setData(const QString &doctor, int year, const QList<outputs::QuotaBar> &bars)
{
    m_bars = outputs::keepTop(bars, TopBars);
    m_fileStem = QStringLiteral("Quotas %1 %2").arg(doctor).arg(year);
    int over = 0;
    for (const outputs::QuotaBar &bar : bars)
        over += bar.overQuota() ? 1 : 0;
    m_caption->setText(QStringLiteral("%1 — %2 : %3 laboratoire(s), %4 au-delà du quota")
                           .arg(doctor)
                           .arg(year)
                           .arg(bars.size())
                           .arg(over));

    auto *past = barSet(QStringLiteral("Visites passées"), QColor(31, 78, 140));
    auto *future = barSet(QStringLiteral("Visites à venir"), QColor(120, 170, 225));
    auto *left = barSet(QStringLiteral("Reste du quota"), QColor(215, 215, 215));
    QStringList categories;
    // A horizontal series draws its first category at the bottom: the most
    // used laboratory goes last so that it shows on top.
    // The summed rest would dwarf every other bar: it is told in words.
    const qsizetype drawn = std::min<qsizetype>(m_bars.size(), TopBars);
    m_rest->setVisible(m_bars.size() > drawn);
    if (m_bars.size() > drawn) {
        const outputs::QuotaBar &rest = m_bars.last();
        m_rest->setText(QStringLiteral("Et %1 autres laboratoires : %2 visite(s) passée(s), %3 à venir, "
                                       "%4 au total dans leurs quotas.")
                            .arg(rest.laboratories)
                            .arg(rest.past)
                            .arg(rest.future)
                            .arg(rest.quota));
    }
    // Laboratories over their quota get their visits in red.
    past->setSelectedColor(QColor(170, 30, 30));
    future->setSelectedColor(QColor(235, 120, 120));
    for (auto it = m_bars.crbegin() + (m_bars.size() - drawn); it != m_bars.crend(); ++it) {
        if (it->overQuota()) {
            past->selectBar(static_cast<int>(categories.size()));
            future->selectBar(static_cast<int>(categories.size()));
        }
        past->append(it->past);
        future->append(it->future);
        left->append(it->remaining());
        categories.append(outputs::barCaption(*it));
    }
    auto *series = new QHorizontalStackedBarSeries;
    series->append({past, future, left});
    series->setBarWidth(0.7);

    auto *chart = new QChart;
    chart->setTitle(QStringLiteral("Visites et quotas %1 — %2").arg(year).arg(doctor));
    chart->addSeries(series);
    auto *names = new QBarCategoryAxis;
    names->append(categories);
    chart->addAxis(names, Qt::AlignLeft);
    series->attachAxis(names);
    auto *counts = new QValueAxis;
    counts->setLabelFormat(QStringLiteral("%d"));
    // On top: the scale stays in sight while the list is scrolled from its start.
    chart->addAxis(counts, Qt::AlignTop);
    series->attachAxis(counts);
    counts->applyNiceNumbers();
    chart->legend()->setAlignment(Qt::AlignBottom);
    m_view->setChart(chart); // the view deletes the chart it had
    m_view->setMinimumHeight(160 + kBarPixels * static_cast<int>(drawn));
}

QByteArray QuotaChartWindow::pngBytes() const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_view->grab().save(&buffer, "PNG");
    return bytes;
}

void QuotaChartWindow::savePng()
{
    QString path = dialogs::saveFile(this, QStringLiteral("Enregistrer le graphique"),
                                     QDir::home().filePath(m_fileStem + QStringLiteral(".png")),
                                     QStringLiteral("Images PNG (*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    guarded(this, [&] { textfile::writeBytes(path, pngBytes()); });
}

} // namespace tv
