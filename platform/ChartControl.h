#pragma once
// The chart control: a flat line chart of a few titled, coloured series, over
// Qt Charts. Each series keeps its points and their labels here; the view gets
// them in one batch when the chart is drawn, since points handed over one by
// one cost far more than the drawing itself.
#include <QChartView>
#include <QColor>
#include <QList>
#include <QStringList>
#include <memory>
#include <vector>

class ChartControl;
class QAbstractAxis;
class QLineSeries;
class QValueAxis;

class ChartSeries {
public:
    // Removes every point.
    void Clear();
    // Appends one point at the next position of the bottom axis, shown there
    // with its label, in the series' colour. Returns the point's index.
    int Add(double value, const QString& label);

    const QList<double>& Points() const { return m_points; }
    const QStringList& Labels() const { return m_labels; }
    QString Title() const { return m_title; }
    QColor Colour() const { return m_colour; }

private:
    friend class ChartControl;
    ChartSeries(ChartControl& owner, QString title, QColor colour);

    ChartControl& m_owner;
    QString m_title;
    QColor m_colour;
    QList<double> m_points;
    QStringList m_labels;
    QLineSeries* m_view = nullptr;
};

struct ChartSeriesStyle {
    QString title;
    QColor colour;
};

// Colours of the chart's own surfaces.
struct ChartColours {
    QColor background;
    QColor plotArea;
    QColor bottomAxis;
};

class ChartControl final : public QChartView {
    Q_OBJECT
public:
    ChartControl(const QString& title, const QString& leftAxisTitle, const QList<ChartSeriesStyle>& series,
                 const ChartColours& colours, QWidget* parent = nullptr);
    ~ChartControl() override;

    // Throws std::out_of_range for an index the chart does not have.
    ChartSeries& Series(int index);
    int SeriesCount() const { return int(m_series.size()); }
    QString Title() const;
    QString LeftAxisTitle() const;

    // Hands the points to the view now; a change not drawn this way is drawn
    // when events are next processed.
    void Draw();
    // True when the bottom axis shows labels other than the positions.
    bool HasCategoryAxis() const;

private:
    friend class ChartSeries;
    void changed();
    void setBottomAxis(QAbstractAxis* axis);
    void fitLeftAxis();

    std::vector<std::unique_ptr<ChartSeries>> m_series;
    QValueAxis* m_leftAxis = nullptr;
    QAbstractAxis* m_bottomAxis = nullptr;
    QColor m_bottomAxisColour;
    double m_low = 0;  // the lowest and highest point drawn
    double m_high = 0;
    bool m_drawPending = false;
};
