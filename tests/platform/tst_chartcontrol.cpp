// The chart control: series keep their points and labels, the view gets them
// in one batch, the bottom axis shows labels that differ from the positions,
// both axes tick at whole numbers, and the left one labels as many as fit.
#include "platform/ChartControl.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTest>
#include <QValueAxis>
#include <cmath>

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
        QTest::addColumn<QList<double>>("leftRange"); // min, max; ticks at whole numbers
        QTest::newRow("positions") << QList<double>{0, 3, 7.5} << QStringList{"0", "1", "2"} << false
                                   << QList<double>{0, 8};
        QTest::newRow("thousands") << QList<double>{0, 4000} << QStringList{"0", "1"} << false
                                   << QList<double>{0, 4000};
        QTest::newRow("below one") << QList<double>{0, 0.25} << QStringList{"0", "1"} << false
                                   << QList<double>{0, 1};
        QTest::newRow("repeated labels") << QList<double>{0, 1, 2, -3} << QStringList{"0", "1", "1", "2"} << true
                                         << QList<double>{-3, 2};
        QTest::newRow("empty") << QList<double>{} << QStringList{} << false << QList<double>{0, 1};
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
        QCOMPARE(QList<double>({left->min(), left->max()}), leftRange);
        QVERIFY(left->tickInterval() >= 1 && left->tickInterval() == std::floor(left->tickInterval()));
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
        // The title in plain 11-pixel letters.
        QCOMPARE(chart->chart()->titleFont().pixelSize(), 11);
        QVERIFY(!chart->chart()->titleFont().bold());
    }

    // At the console's size the left axis labels each whole number while the
    // labels fit one above the other, and a larger range only as many as fit,
    // none cut to "...".
    void leftAxisLabelsEveryWholeNumberThatFits_data()
    {
        QTest::addColumn<double>("high");
        QTest::addColumn<QList<double>>("drawn");
        QTest::newRow("7") << 7.0 << QList<double>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("100") << 100.0 << QList<double>{0, 20, 40, 60, 80, 100};
    }
    void leftAxisLabelsEveryWholeNumberThatFits()
    {
        QFETCH(double, high);
        QFETCH(QList<double>, drawn);
        std::unique_ptr<ChartControl> chart(make());
        chart->resize(465, 161);
        chart->Series(0).Add(0, QStringLiteral("0"));
        chart->Series(0).Add(high, QStringLiteral("1"));
        chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
        // The numbers drawn left of the plot, from the bottom up.
        QList<std::pair<double, QRectF>> labels;
        const auto values = [&] {
            const QRectF plot = chart->chart()->plotArea();
            labels.clear();
            for (QGraphicsItem* item : chart->scene()->items()) {
                auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
                bool number = false;
                const double value = text ? text->toPlainText().toDouble(&number) : 0;
                if (number && text->isVisible() && text->sceneBoundingRect().right() <= plot.left())
                    labels.append({value, text->sceneBoundingRect()});
            }
            std::sort(labels.begin(), labels.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            QList<double> out;
            for (const auto& label : labels)
                out.append(label.first);
            return out;
        };
        QTRY_COMPARE(values(), drawn);
        for (qsizetype i = 1; i < labels.size(); ++i)
            QVERIFY(!labels.at(i).second.intersects(labels.at(i - 1).second));
        QVERIFY(!axis<QValueAxis>(*chart, Qt::Vertical)->labelsTruncated());
    }
};

QTEST_MAIN(TestChartControl)
#include "tst_chartcontrol.moc"
