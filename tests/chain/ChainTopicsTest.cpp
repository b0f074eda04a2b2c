#include "chain/ChainTopics.h"
#include "chain/OfficeRoster.h"
#include "chain/OfficeStatus.h"

#include <gtest/gtest.h>

namespace {

TEST(ChainTopics, AnOfficeTopicNamesItsOfficeAndNothingElseDoes)
{
    const QString chain = QStringLiteral("north");
    EXPECT_EQ(ChainTopics::officeOf(chain, ChainTopics::office(chain, QStringLiteral("tver"))), "tver");
    for (const char *other : {"corvane/north/rates", "corvane/south/offices/tver", "corvane/north/offices/tver/x",
                              "corvane/north/officestver"})
        EXPECT_TRUE(ChainTopics::officeOf(chain, QString::fromLatin1(other)).isEmpty()) << other;
}

TEST(ChainTopics, AnIdMustBeOneTopicLevel)
{
    EXPECT_TRUE(ChainTopics::idProblem(QStringLiteral("тверь-1")).isEmpty());
    for (const QString &bad : {QString(), QStringLiteral("a/b"), QStringLiteral("a+"), QStringLiteral("#"),
                               QStringLiteral("a\tb"), QString(61, u'x')})
        EXPECT_FALSE(ChainTopics::idProblem(bad).isEmpty()) << bad.toStdString();
}

TEST(OfficeStatus, WhatIsWrittenReadsBackAndAnythingElseIsRefused)
{
    const OfficeStatus status{true, 12, QDateTime::fromString(QStringLiteral("2026-12-11T10:00:00+03:00"), Qt::ISODate)};
    OfficeStatus read;
    ASSERT_TRUE(readOfficeStatus(writeOfficeStatus(status), read));
    EXPECT_EQ(read, status);
    for (const QByteArray &bad : {QByteArray(), QByteArray("[]"), QByteArray(R"({"online":"yes","version":1})"),
                                  QByteArray(R"({"online":true,"version":-1})"), QByteArray(R"({"online":true})"),
                                  QByteArray(2000, ' ') + R"({"online":true,"version":1})"}) {
        OfficeStatus untouched = status;
        EXPECT_FALSE(readOfficeStatus(bad, untouched)) << bad.left(60).toStdString();
        EXPECT_EQ(untouched, status);
    }
}

TEST(OfficeRoster, KeepsOneLinePerOfficeInTheOrderOfTheirIdsAndStopsAtItsLimit)
{
    OfficeRoster roster;
    const QDateTime first(QDate(2026, 12, 11), QTime(10, 0));
    const QDateTime later = first.addSecs(60);
    ASSERT_TRUE(roster.note(QStringLiteral("tver"), {true, 3, first}, first));
    ASSERT_TRUE(roster.note(QStringLiteral("center"), {true, 3, first}, first));
    ASSERT_TRUE(roster.note(QStringLiteral("tver"), {false, 4, first}, later));
    ASSERT_EQ(roster.offices().size(), 2);
    EXPECT_EQ(roster.offices()[0].office, "center");
    EXPECT_EQ(roster.offices()[1], (SeenOffice{QStringLiteral("tver"), {false, 4, first}, later}));

    for (int i = 0; roster.offices().size() < OfficeRoster::kMaxOffices; ++i)
        roster.note(QStringLiteral("o%1").arg(i), {}, first);
    EXPECT_FALSE(roster.note(QStringLiteral("one-too-many"), {}, first));
    EXPECT_TRUE(roster.note(QStringLiteral("tver"), {true, 5, first}, later)) << "a known office is still heard";
}

} // namespace
