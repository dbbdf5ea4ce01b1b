// Rules of the laboratory panel that need no window.
#include "labs/core/LabRules.h"

#include <QTest>

using namespace tv::labrules;

class TestLabRules : public QObject {
    Q_OBJECT
private slots:
    void telephone_data();
    void telephone();
    void telephoneLetters();
    void quickSearchFindsFirstByLeadingLetters();
    void dayListMatchesLaboratoryBeforeTheTime();
    void nameChecks();
    void quotaAnswers_data();
    void quotaAnswers();
    void linkChecks();
};

void TestLabRules::telephone_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("dots") << "06.12.34.56.78" << "06 12 34 56 78";
    QTest::newRow("dashes") << "01-23-45-67-89" << "01 23 45 67 89";
    QTest::newRow("already grouped") << "01 23 45 67 89" << "01 23 45 67 89";
    QTest::newRow("glued") << "0123456789" << "01 23 45 67 89";
    QTest::newRow("eleven digits") << "33123456789" << "3 31 23 45 67 89";
    QTest::newRow("plus sign") << "+33 1 23 45 67 89" << "3 31 23 45 67 89";
    QTest::newRow("one digit") << "7" << "7";
    QTest::newRow("three digits") << "123" << "1 23";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("separators only") << "--" << "";
    // The walk visits the positions of the typed text while the text
    // shrinks: a separator that slides onto a visited position stays.
    QTest::newRow("two separators in a row") << "1..-2" << "1 -2";
}

void TestLabRules::telephone()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(normaliseTelephone(typed), shown);
}

void TestLabRules::telephoneLetters()
{
    QVERIFY(hasLetters(QStringLiteral("abcdef")));
    QVERIFY(hasLetters(QStringLiteral("01 23 poste 12")));
    QVERIFY(hasLetters(QStringLiteral("é")));
    QVERIFY(!hasLetters(QStringLiteral("+33 (0)1-23.45")));
    QVERIFY(!hasLetters(QString()));
}

void TestLabRules::quickSearchFindsFirstByLeadingLetters()
{
    const QStringList list = {QStringLiteral("  ALPHA"), QStringLiteral("  ROCHE"), QStringLiteral("  ROUSSEL"),
                              QStringLiteral("  ÉLAN")};
    QCOMPARE(quickSearch(list, QStringLiteral("ro")), 1);
    QCOMPARE(quickSearch(list, QStringLiteral("ROU")), 2);
    QCOMPARE(quickSearch(list, QStringLiteral("élan")), 3);
    QCOMPARE(quickSearch(list, QStringLiteral("zz")), -1);
    // Longer than every name: nothing begins with it.
    QCOMPARE(quickSearch(list, QStringLiteral("alphabet")), -1);
    QCOMPARE(quickSearch(list, QString()), -1);
    QCOMPARE(quickSearch({}, QStringLiteral("a")), -1);
}

void TestLabRules::dayListMatchesLaboratoryBeforeTheTime()
{
    const QStringList day = {QStringLiteral(" ALPHA"), QStringLiteral(" BETA  [_ 10H30 _]"),
                             QStringLiteral(" BETA PLUS")};
    QCOMPARE(dayListIndex(day, QStringLiteral("ALPHA")), 0);
    QCOMPARE(dayListIndex(day, QStringLiteral("BETA")), 1);
    QCOMPARE(dayListIndex(day, QStringLiteral("BETA PLUS")), 2);
    QCOMPARE(dayListIndex(day, QStringLiteral("GAMMA")), -1);
    QCOMPARE(dayListIndex({}, QStringLiteral("ALPHA")), -1);
}

void TestLabRules::nameChecks()
{
    const QStringList list = {QStringLiteral("  ALPHA"), QStringLiteral("  ÉLAN"), QStringLiteral("  L'OREAL \"X\"")};
    QCOMPARE(checkName(list, QString()), NameCheck::Cancelled);
    QCOMPARE(checkName(list, QStringLiteral("   ")), NameCheck::Blank);
    QCOMPARE(checkName(list, QStringLiteral("  alpha ")), NameCheck::Duplicate);
    QCOMPARE(checkName(list, QStringLiteral("élan")), NameCheck::Duplicate);
    QCOMPARE(checkName(list, QStringLiteral("l'oreal \"x\"")), NameCheck::Duplicate);
    QCOMPARE(checkName(list, QStringLiteral("alphabet")), NameCheck::Ok);
    // Renaming a laboratory to its own name in other letters is allowed,
    // not to another one's.
    QCOMPARE(checkName(list, QStringLiteral("Alpha"), 0), NameCheck::Ok);
    QCOMPARE(checkName(list, QStringLiteral("Alpha"), 1), NameCheck::Duplicate);
    QCOMPARE(listEntry(QStringLiteral("  élan vital ")), QStringLiteral("  ÉLAN VITAL"));
}

void TestLabRules::quotaAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("quota"); // -1: refused
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks") << "  " << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("number") << "12" << 12;
    QTest::newRow("surrounded") << " 4 " << 4;
    QTest::newRow("leading zero") << "007" << 7;
    QTest::newRow("letters") << "abc" << -1;
    QTest::newRow("negative") << "-3" << -1;
    QTest::newRow("decimal") << "2,5" << -1;
    QTest::newRow("sign") << "+3" << -1;
    QTest::newRow("digits and letters") << "3x" << -1;
    QTest::newRow("too long") << "99999999999" << -1;
}

void TestLabRules::quotaAnswers()
{
    QFETCH(QString, answer);
    QFETCH(int, quota);
    const std::optional<int> parsed = parseQuota(answer);
    if (quota < 0)
        QVERIFY(!parsed.has_value());
    else
        QCOMPARE(parsed.value_or(-1), quota);
}

void TestLabRules::linkChecks()
{
    QVERIFY(isWebAddress(QStringLiteral("http://www.labo.fr")));
    QVERIFY(isWebAddress(QStringLiteral("HTTPS://LABO.FR")));
    QVERIFY(!isWebAddress(QStringLiteral("www.labo.fr")));
    QVERIFY(!isWebAddress(QStringLiteral(" http://www.labo.fr")));
    QVERIFY(!isWebAddress(QString()));
    QVERIFY(isMailAddress(QStringLiteral("a@b.fr")));
    QVERIFY(!isMailAddress(QStringLiteral("a.b.fr")));
    QVERIFY(!isMailAddress(QString()));
}

QTEST_APPLESS_MAIN(TestLabRules)
#include "tst_labrules.moc"
