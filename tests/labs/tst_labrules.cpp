// Rules of the laboratory panel that need no window.
#include "labs/core/LabRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using namespace tv::labrules;

class TstLabRules : public QObject {
    Q_OBJECT
private slots:
    void telephone_data();
    void telephone();
    void telephoneLetters();
    void quickSearchFindsFirstByLeadingLetters();
    void quotaAnswers_data();
    void quotaAnswers();
};

void TstLabRules::telephone_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("dots") << "06.12.34.56.78"
                          << "06 12 34 56 78";
    QTest::newRow("glued") << "0123456789"
                           << "01 23 45 67 89";
    QTest::newRow("plus sign") << "+33 1 23 45 67 89"
                               << "3 31 23 45 67 89";
    QTest::newRow("three digits") << "123"
                                  << "1 23";
    QTest::newRow("separators only") << "--"
                                     << "";
    // The walk visits the positions of the typed text while the text
    // shrinks: a separator that slides onto a visited position stays.
    QTest::newRow("two separators in a row") << "1..-2"
                                             << "1 -2";
}

void TstLabRules::telephone()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(normaliseTelephone(typed), shown);
}

void TstLabRules::telephoneLetters()
{
    QVERIFY(hasLetters(u"01 23 poste 12"_s));
    QVERIFY(hasLetters(u"é"_s));
    QVERIFY(!hasLetters(u"+33 (0)1-23.45"_s));
    QVERIFY(!hasLetters(QString()));
}

void TstLabRules::quickSearchFindsFirstByLeadingLetters()
{
    const QStringList list = {u"  ALPHA"_s, u"  ROCHE"_s, u"  ROUSSEL"_s, u"  ÉLAN"_s};
    QCOMPARE(quickSearch(list, u"ROU"_s), 2);
    QCOMPARE(quickSearch(list, u"élan"_s), 3);
    // Longer than every name: nothing begins with it.
    QCOMPARE(quickSearch(list, u"alphabet"_s), -1);
    QCOMPARE(quickSearch(list, QString()), -1);
}

void TstLabRules::quotaAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("quota"); // -1: refused
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks") << "  " << 0;
    QTest::newRow("leading zero") << "007" << 7;
    QTest::newRow("decimal") << "2,5" << -1;
    QTest::newRow("sign") << "+3" << -1;
    QTest::newRow("too long") << "99999999999" << -1;
}

void TstLabRules::quotaAnswers()
{
    QFETCH(QString, answer);
    QFETCH(int, quota);
    const std::optional<int> parsed = parseQuota(answer);
    if (quota < 0)
        QVERIFY(!parsed.has_value());
    else
        QCOMPARE(parsed.value_or(-1), quota);
}

QTEST_APPLESS_MAIN(TstLabRules)
#include "tst_labrules.moc"
