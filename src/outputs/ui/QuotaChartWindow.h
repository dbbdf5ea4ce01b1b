#pragma once

#include "outputs/core/QuotaChartData.h"

#include <QDialog>

class QChartView;
class QLabel;
class QScrollArea;

namespace tv {

// The doctor's visits of the year against each laboratory's quota, one
// horizontal bar per laboratory: past visits, visits to come and what is
// left of the quota.
class QuotaChartWindow : public QDialog {
    Q_OBJECT
public:
    // How many laboratories get their own bar; the rest are summed in words.
    static constexpr int TopBars = 40;

    explicit QuotaChartWindow(QWidget *parent = nullptr);

    void setData(const QString &doctor, int year, const QList<outputs::QuotaBar> &bars);
    const QList<outputs::QuotaBar> &shownBars() const { return m_bars; }
    QChartView *chartView() const { return m_view; }
    QByteArray pngBytes() const;

private:
    void savePng();

    QLabel *m_caption = nullptr;
    QLabel *m_rest = nullptr;
    QScrollArea *m_scroll = nullptr;
    QChartView *m_view = nullptr;
    QList<outputs::QuotaBar> m_bars;
    QString m_fileStem;
};

} // namespace tv
