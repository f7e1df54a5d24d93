// The statistics texts of lvHistory's rows: the same texts the statistics give when worked out
// afresh, and never a stale one after the history changed in any way.
#include <QRandomGenerator>
#include <QTest>

#include "core/History.h"
#include "pages/HistoryRowTexts.h"
#include "widgets/ReadoutText.h"

namespace {

void AddSample(THistory& history, float value) {
    THistoryItem& item = history.NewItem();
    item.Values.fill(value);
}

// What the statistics give for a cell, worked out now.
QString Fresh(const THistory& history, int row, int column) {
    if (history.Count() == 0)
        return QStringLiteral("0.0");
    switch (column) {
        case 2:
            return ReadoutText(history.Last().Values[row]);
        case 3:
            return ReadoutText(history.Average(row));
        case 4:
            return ReadoutText(history.Min(row));
        default:
            return ReadoutText(history.Max(row));
    }
}

}  // namespace

class HistoryRowTextsTest : public QObject {
    Q_OBJECT

private slots:
    void sameAsTheStatisticsWorkedOutAfresh() {
        QRandomGenerator random(725);
        THistory history(50);
        THistoryRowTexts texts;
        for (int sample = 0; sample < 120; ++sample) {
            THistoryItem& item = history.NewItem();
            for (float& value : item.Values)
                value = static_cast<float>(random.bounded(-400, 1300)) / 10.0f + 0.05f;
            for (int row = 0; row < kChannelCount; ++row)
                for (int column = 2; column <= 5; ++column)
                    QCOMPARE(texts.Text(&history, row, column), Fresh(history, row, column));
        }
    }

    void noHistoryAndAnEmptyOneShowZeros() {
        THistoryRowTexts texts;
        QCOMPARE(texts.Text(nullptr, 0, 3), QStringLiteral("0.0"));
        THistory history;
        AddSample(history, 25.3f);
        QCOMPARE(texts.Text(&history, 0, 3), QStringLiteral("25.3"));
        history.Clear();
        QCOMPARE(texts.Text(&history, 0, 3), QStringLiteral("0.0"));
        QCOMPARE(texts.Text(&history, 5, 5), QStringLiteral("0.0"));
        AddSample(history, 7.0f);
        QCOMPARE(texts.Text(&history, 5, 5), QStringLiteral("7.0"));
        QCOMPARE(texts.Text(nullptr, 5, 5), QStringLiteral("0.0"));
    }

    // The oldest sample goes and the new one equals the newest before it: only the window
    // moved.
    void followsASampleThatLeavesTheNewestValuesAsTheyWere() {
        THistory history(2);
        THistoryRowTexts texts;
        AddSample(history, 10.0f);
        AddSample(history, 20.0f);
        QCOMPARE(texts.Text(&history, 1, 3), QStringLiteral("15.0"));
        QCOMPARE(texts.Text(&history, 1, 4), QStringLiteral("10.0"));
        AddSample(history, 20.0f);
        QCOMPARE(texts.Text(&history, 1, 3), QStringLiteral("20.0"));
        QCOMPARE(texts.Text(&history, 1, 4), QStringLiteral("20.0"));
    }

    // The polling cycle adds a sample and fills it in afterwards.
    void followsTheNewestSampleFilledInAfterItWasRead() {
        THistory history;
        THistoryRowTexts texts;
        THistoryItem& item = history.NewItem();
        QCOMPARE(texts.Text(&history, 4, 2), QStringLiteral("0.0"));
        item.Values[4] = 41.5f;
        QCOMPARE(texts.Text(&history, 4, 2), QStringLiteral("41.5"));
        QCOMPARE(texts.Text(&history, 4, 5), QStringLiteral("41.5"));
        history.Last().Values[4] = 38.0f;
        QCOMPARE(texts.Text(&history, 4, 4), QStringLiteral("38.0"));
    }

    // A store in place of another, with as many samples and the same newest values.
    void followsAnotherStore() {
        THistoryRowTexts texts;
        THistory first;
        AddSample(first, 10.0f);
        AddSample(first, 20.0f);
        QCOMPARE(texts.Text(&first, 2, 3), QStringLiteral("15.0"));
        THistory second;
        AddSample(second, 30.0f);
        AddSample(second, 20.0f);
        QCOMPARE(texts.Text(&second, 2, 3), QStringLiteral("25.0"));
        QCOMPARE(texts.Text(&second, 2, 5), QStringLiteral("30.0"));
    }
};

QTEST_GUILESS_MAIN(HistoryRowTextsTest)
#include "HistoryRowTextsTest.moc"
