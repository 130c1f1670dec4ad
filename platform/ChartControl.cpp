#include "platform/ChartControl.h"

#include "platform/ProgramFonts.h"

#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QSet>
#include <QTextDocument>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

QFont pixelFont(int pixels)
{
    QFont font = ProgramFont();
    font.setPixelSize(pixels);
    return font;
}

// A whole-number step of 1, 2 or 5 times a power of ten that gives at most
// about `ticks` intervals over the span.
double wholeStep(double span, int ticks)
{
    const double raw = span / ticks;
    if (!(raw > 1))
        return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw)
            return m * power;
    }
    return 10 * power;
}

// Whole-number ticks over a range that holds [low, high].
void setWholeRange(QValueAxis& axis, double low, double high, int ticks)
{
    const double step = wholeStep(high - low, ticks);
    double from = std::floor(low / step) * step;
    double to = std::ceil(high / step) * step;
    if (to <= from)
        to = from + step;
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0);
    axis.setTickInterval(step);
    axis.setRange(from, to);
}

void styleAxis(QAbstractAxis& axis)
{
    axis.setLabelsFont(pixelFont(9));
    axis.setTitleFont(pixelFont(10));
    axis.setLabelsColor(Qt::black);
    axis.setTitleBrush(Qt::black);
    axis.setGridLineColor(QColor(0, 0, 0, 40));
}

} // namespace

ChartSeries::ChartSeries(ChartControl& owner, QString title, QColor colour)
    : m_owner(owner), m_title(std::move(title)), m_colour(colour)
{
}

void ChartSeries::Clear()
{
    m_points.clear();
    m_labels.clear();
    m_owner.changed();
}

int ChartSeries::Add(double value, const QString& label)
{
    m_points.append(value);
    m_labels.append(label);
    m_owner.changed();
    return int(m_points.size()) - 1;
}

ChartControl::ChartControl(const QString& title, const QString& leftAxisTitle,
                           const QList<ChartSeriesStyle>& series, const ChartColours& colours, QWidget* parent)
    : QChartView(parent), m_bottomAxisColour(colours.bottomAxis)
{
    // setChart hands ours to the view but only lets go of the default chart the view was built
    // with: that one is ours to delete.
    std::unique_ptr<QChart> builtWith(QChartView::chart());
    auto* chart = new QChart;
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(title);
    chart->setTitleFont(pixelFont(11));
    chart->setTitleBrush(Qt::black);
    chart->setBackgroundBrush(colours.background);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(colours.plotArea);
    chart->setPlotAreaBackgroundVisible(true);
    // The frame is small: every pixel goes to the plot.
    chart->setMargins(QMargins(2, 0, 2, 0));
    chart->layout()->setContentsMargins(0, 0, 0, 0);

    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignRight);
    legend->setFont(pixelFont(9));
    legend->setLabelColor(Qt::black);
    legend->setContentsMargins(0, 0, 0, 0);

    m_leftAxis = new QValueAxis(chart);
    m_leftAxis->setTitleText(leftAxisTitle);
    m_leftAxis->setLabelFormat(QStringLiteral("%d"));
    styleAxis(*m_leftAxis);
    chart->addAxis(m_leftAxis, Qt::AlignLeft);
    // The plot's height decides how many whole numbers the left axis can
    // label; those it labels are never cut to "...".
    m_leftAxis->setTruncateLabels(false);
    connect(chart, &QChart::plotAreaChanged, this, [this] { fitLeftAxis(); }, Qt::QueuedConnection);

    for (const ChartSeriesStyle& style : series) {
        std::unique_ptr<ChartSeries> s(new ChartSeries(*this, style.title, style.colour));
        s->m_view = new QLineSeries(chart);
        s->m_view->setName(style.title);
        QPen pen(style.colour);
        pen.setWidth(2);
        s->m_view->setPen(pen);
        s->m_view->setPointsVisible(false);
        s->m_view->setPointLabelsVisible(false);
        chart->addSeries(s->m_view);
        s->m_view->attachAxis(m_leftAxis);
        m_series.push_back(std::move(s));
    }
    Draw();
}

ChartControl::~ChartControl() = default;

ChartSeries& ChartControl::Series(int index)
{
    if (index < 0 || index >= SeriesCount())
        throw std::out_of_range("Invalid series index");
    return *m_series[size_t(index)];
}

QString ChartControl::Title() const
{
    return chart()->title();
}

QString ChartControl::LeftAxisTitle() const
{
    return m_leftAxis->titleText();
}

bool ChartControl::HasCategoryAxis() const
{
    return qobject_cast<QCategoryAxis*>(m_bottomAxis) != nullptr;
}

void ChartControl::changed()
{
    if (m_drawPending)
        return;
    m_drawPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_drawPending)
            Draw();
    });
}

void ChartControl::setBottomAxis(QAbstractAxis* axis)
{
    if (m_bottomAxis) {
        chart()->removeAxis(m_bottomAxis);
        delete m_bottomAxis;
    }
    m_bottomAxis = axis;
    styleAxis(*axis);
    axis->setLinePen(QPen(m_bottomAxisColour, 3));
    chart()->addAxis(axis, Qt::AlignBottom);
    for (const auto& s : m_series)
        s->m_view->attachAxis(axis);
}

void ChartControl::Draw()
{
    m_drawPending = false;
    // The bottom axis takes the labels of the longest series.
    const ChartSeries* longest = nullptr;
    double low = 0;
    double high = 0;
    for (const auto& s : m_series) {
        if (!longest || s->m_points.size() > longest->m_points.size())
            longest = s.get();
        QList<QPointF> points;
        points.reserve(s->m_points.size());
        for (qsizetype i = 0; i < s->m_points.size(); ++i) {
            const double v = s->m_points.at(i);
            points.append(QPointF(double(i), v));
            low = std::min(low, v);
            high = std::max(high, v);
        }
        s->m_view->replace(points);
    }

    const QStringList labels = longest ? longest->m_labels : QStringList();
    bool positions = true;
    for (qsizetype i = 0; i < labels.size() && positions; ++i)
        positions = labels.at(i) == QString::number(i);
    const double last = std::max<double>(1, double(labels.size()) - 1);
    if (positions) {
        auto* axis = qobject_cast<QValueAxis*>(m_bottomAxis);
        if (!axis || HasCategoryAxis()) {
            axis = new QValueAxis(chart());
            axis->setLabelFormat(QStringLiteral("%d"));
            setBottomAxis(axis);
        }
        setWholeRange(*axis, 0, last, 8);
        // The last point ends the axis; whole-number ticks stay where they are.
        axis->setMax(last);
    } else {
        auto* axis = new QCategoryAxis(chart());
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        // A category axis needs distinct labels; a repeated one gets invisible padding.
        QSet<QString> used;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            QString label = labels.at(i);
            while (used.contains(label))
                label += QChar(0x200B);
            used.insert(label);
            axis->append(label, double(i));
        }
        axis->setRange(0, last);
        setBottomAxis(axis);
    }
    m_low = low;
    m_high = high;
    fitLeftAxis();
}

void ChartControl::fitLeftAxis()
{
    // Every whole number gets its label where the labels fit one above the
    // other; otherwise every second, fifth, tenth... Before the chart is laid
    // out, five steps. A label is measured as the chart draws it: a text item
    // with half a pixel of margin.
    QGraphicsTextItem label;
    label.setFont(m_leftAxis->labelsFont());
    label.document()->setDocumentMargin(0.5);
    label.setPlainText(QStringLiteral("0"));
    const double pitch = std::ceil(label.boundingRect().height());
    const double height = chart()->plotArea().height();
    const int steps = height > pitch ? int(height / pitch) : 5;
    setWholeRange(*m_leftAxis, m_low, m_high, steps);
}
