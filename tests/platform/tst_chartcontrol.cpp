// The chart control: series keep their points and labels, the view gets them
// in one batch, the bottom axis shows labels that differ from the positions,
// and both axes tick at whole numbers.
#include "platform/ChartControl.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>

class TestChartControl : public QObject {
    Q_OBJECT
    static ChartControl* make()
    {
        return new ChartControl(QStringLiteral("TITLE"), QStringLiteral("Files"),
                                {{QStringLiteral("Sent"), Qt::red}, {QStringLiteral("Received"), Qt::blue}},
                                {QColor(64, 128, 128), QColor(128, 255, 255), QColor(128, 255, 128)});
    }
    static QLineSeries* view(ChartControl& c, int i) { return qobject_cast<QLineSeries*>(c.chart()->series().at(i)); }
    template <class Axis>
    static Axis* axis(ChartControl& c, Qt::Orientation o)
    {
        const auto axes = c.chart()->axes(o);
        return axes.isEmpty() ? nullptr : qobject_cast<Axis*>(axes.first());
    }

private Q_SLOTS:
    void batches_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<bool>("categories");
        QTest::addColumn<QList<double>>("leftRange"); // min, max, tick interval
        QTest::newRow("positions") << QList<double>{0, 3, 7.5} << QStringList{"0", "1", "2"} << false
                                   << QList<double>{0, 8, 2};
        QTest::newRow("thousands") << QList<double>{0, 4000} << QStringList{"0", "1"} << false
                                   << QList<double>{0, 4000, 1000};
        QTest::newRow("below one") << QList<double>{0, 0.25} << QStringList{"0", "1"} << false
                                   << QList<double>{0, 1, 1};
        QTest::newRow("repeated labels") << QList<double>{0, 1, 2, -3} << QStringList{"0", "1", "1", "2"} << true
                                         << QList<double>{-3, 2, 1};
        QTest::newRow("empty") << QList<double>{} << QStringList{} << false << QList<double>{0, 1, 1};
    }
    void batches()
    {
        QFETCH(QList<double>, values);
        QFETCH(QStringList, labels);
        QFETCH(bool, categories);
        QFETCH(QList<double>, leftRange);
        std::unique_ptr<ChartControl> chart(make());
        chart->Series(0).Add(99, QStringLiteral("x"));
        chart->Series(0).Clear();
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(chart->Series(0).Add(values.at(i), labels.at(i)), i);
        QCOMPARE(chart->Series(0).Points(), values);
        QCOMPARE(chart->Series(0).Labels(), labels);
        QVERIFY(chart->Series(1).Points().isEmpty());

        // Drawn once events run, all points at once.
        QTRY_COMPARE(view(*chart, 0)->count(), int(values.size()));
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(view(*chart, 0)->at(i), QPointF(i, values.at(i)));
        QCOMPARE(chart->HasCategoryAxis(), categories);
        if (categories) {
            auto* bottom = axis<QCategoryAxis>(*chart, Qt::Horizontal);
            QVERIFY(bottom);
            QCOMPARE(bottom->count(), int(labels.size()));
        } else {
            QVERIFY(axis<QValueAxis>(*chart, Qt::Horizontal));
        }
        auto* left = axis<QValueAxis>(*chart, Qt::Vertical);
        QCOMPARE(QList<double>({left->min(), left->max(), left->tickInterval()}), leftRange);
        QCOMPARE(left->labelFormat(), QStringLiteral("%d"));
    }

    void design()
    {
        std::unique_ptr<ChartControl> chart(make());
        QCOMPARE(chart->Title(), QStringLiteral("TITLE"));
        QCOMPARE(chart->LeftAxisTitle(), QStringLiteral("Files"));
        QCOMPARE(chart->SeriesCount(), 2);
        QCOMPARE(chart->Series(1).Title(), QStringLiteral("Received"));
        QCOMPARE(view(*chart, 1)->pen().color(), QColor(Qt::blue));
        QVERIFY(!view(*chart, 1)->pointsVisible());
        const auto markers = chart->chart()->legend()->markers();
        QCOMPARE(markers.size(), 2);
        QCOMPARE(markers.at(0)->label(), QStringLiteral("Sent"));
        QCOMPARE(chart->chart()->backgroundBrush().color(), QColor(64, 128, 128));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->Series(2));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->Series(-1));
    }
};

QTEST_MAIN(TestChartControl)
#include "tst_chartcontrol.moc"
