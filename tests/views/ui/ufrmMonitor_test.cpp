#include "text/WidgetNames.h"
#include "views/ui/ufrmMonitor.h"

#include "FakeClock.h"
#include "GermanLocale.h"
#include "model/TickReading.h"
#include "text/KvString.h"

#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <QtTest>

namespace tavlor {

class TfrmMonitorTest : public QObject
{
    Q_OBJECT

private:
    TickReading m_reading;
    NumberFormat m_numbers{","};
    test::GermanLocale m_locale;
    test::FakeClock m_clock{{2026, 12, 8, 17, 5, 9, 0}};

    // Speeds in kb/s, as the reading holds them in bytes per second.
    void setSpeeds(double downKb, double upKb)
    {
        m_reading.downSpeed = downKb * 1024;
        m_reading.upSpeed = upKb * 1024;
    }
    std::function<TickReading()> reading()
    {
        return [this] { return m_reading; };
    }

    static qint64 bottomMaximum(const TfrmMonitor& monitor)
    {
        return monitor.bottomAxis()->max().toMSecsSinceEpoch();
    }

    static QList<QPointF> toPoints(const std::vector<HistoryPoint>& history)
    {
        QList<QPointF> points;
        for (const HistoryPoint& p : history) {
            points.append(QPointF(p.x, p.y));
        }
        return points;
    }

    void activate(TfrmMonitor& monitor)
    {
        monitor.show();
        monitor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&monitor));
    }

private slots:
    void init() { setSpeeds(0, 0); }

    void windowAndChartAsDesigned()
    {
        TfrmMonitor monitor(reading(), m_numbers, m_locale, m_clock);
        QCOMPARE(monitor.objectName(), QString(names::frmMonitor));
        QCOMPARE(monitor.windowTitle(), QString("Tavlor Monitor"));
        QCOMPARE(monitor.pos(), QPoint(245, 165));
        QCOMPARE(monitor.size(), QSize(564, 311));
        QVERIFY(monitor.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!monitor.isVisible());

        QChart* chart = monitor.chartView()->chart();
        QCOMPARE(chart->legend()->alignment(), Qt::AlignTop);
        QCOMPARE(monitor.downloadSeries()->name(), QString("Download"));
        QCOMPARE(monitor.uploadSeries()->name(), QString("Upload"));
        QCOMPARE(monitor.downloadSeries()->color(), QColor(0, 128, 0));
        QCOMPARE(monitor.uploadSeries()->color(), QColor(255, 0, 0));
        QVERIFY(!monitor.downloadSeries()->pointsVisible());
        QCOMPARE(monitor.leftAxis()->titleText(), QString("Bandbreite (kb/s)"));
        QCOMPARE(monitor.leftAxis()->max(), 164.0);
        QCOMPARE(monitor.bottomAxis()->min().toMSecsSinceEpoch(), 0);
        QCOMPARE(bottomMaximum(monitor), 60);
        QCOMPARE(monitor.timer()->objectName(), QString(names::tBandbreite));
        QCOMPARE(monitor.timer()->interval(), 2000);
        QVERIFY(!monitor.timer()->isActive());

        monitor.show();
        QCOMPARE(monitor.chartView()->geometry(), monitor.rect());
        // Silver up to the sunken frame all round: no margin of another grey around the chart.
        QVERIFY(QTest::qWaitForWindowExposed(&monitor));
        const QImage picture = monitor.chartView()->viewport()->grab().toImage();
        const QColor silver(192, 192, 192);
        for (const QPoint at :
             {QPoint(1, 1), QPoint(picture.width() - 2, 1), QPoint(1, picture.height() - 2),
              QPoint(picture.width() - 2, picture.height() - 2), QPoint(picture.width() / 2, 2)}) {
            QVERIFY2(picture.pixelColor(at) == silver, qPrintable(QStringLiteral("%1,%2 is %3")
                                                                      .arg(at.x())
                                                                      .arg(at.y())
                                                                      .arg(picture.pixelColor(at).name())));
        }
    }

    void samplesFeedSeriesAndAxes()
    {
        TfrmMonitor monitor(reading(), m_numbers, m_locale, m_clock);
        setSpeeds(12.5, 3.5);
        monitor.takeSample();
        QCOMPARE(monitor.downloadSeries()->points(), QList<QPointF>{QPointF(1, 12)});
        QCOMPARE(monitor.uploadSeries()->points(), QList<QPointF>{QPointF(1, 4)});
        QCOMPARE(monitor.leftAxis()->max(), 17.0);
        QCOMPARE(bottomMaximum(monitor), 11);
        QCOMPARE(monitor.bottomAxis()->titleText(), QString("17:05:09"));
        // Every bottom label prints the time text, whatever moment its tick stands for.
        const QString format = monitor.bottomAxis()->format();
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(3).toString(format), QString("17:05:09"));
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(86399999).toString(format), QString("17:05:09"));

        m_clock.advanceMs(2000);
        setSpeeds(8, 1);
        monitor.takeSample();
        QCOMPARE(monitor.leftAxis()->max(), 17.0);
        QCOMPARE(monitor.bottomAxis()->titleText(), QString("17:05:11"));

        setSpeeds(1500, 20);
        monitor.takeSample();
        QCOMPARE(monitor.leftAxis()->max(), 1505.0);
        QCOMPARE(monitor.downloadSeries()->points().last(), QPointF(3, 1500));

        // An idle sample keeps the 1500 point and the traffic after it on the chart.
        setSpeeds(0, 0);
        monitor.takeSample();
        setSpeeds(300, 0);
        monitor.takeSample();
        QCOMPARE(monitor.leftAxis()->max(), 1505.0);
        QCOMPARE(monitor.model().sampleCount(), 5);
        QCOMPARE(monitor.downloadSeries()->points().last(), QPointF(5, 300));
    }

    void activationSamplesAndCloseStops()
    {
        TfrmMonitor monitor(reading(), m_numbers, m_locale, m_clock);
        setSpeeds(40, 2);
        activate(monitor);
        QVERIFY(monitor.timer()->isActive());
        QCOMPARE(monitor.downloadSeries()->count(), 1);
        QCOMPARE(monitor.leftAxis()->max(), 45.0);
        for (int i = 0; i < 10; ++i) {
            monitor.takeSample();
        }
        QCOMPARE(bottomMaximum(monitor), 21);

        monitor.close();
        QVERIFY(!monitor.timer()->isActive());
        // Closed: the history stays, what only drawing needs goes.
        QVERIFY(monitor.chartView() == nullptr);
        QCOMPARE(monitor.model().downloadPoints().size(), size_t(11));

        // Reopened: the same series continue with the next x, under an axis that shows them.
        activate(monitor);
        QVERIFY(monitor.timer()->isActive());
        QCOMPARE(monitor.downloadSeries()->count(), 12);
        QCOMPARE(monitor.downloadSeries()->points().last().x(), 12.0);
        QCOMPARE(monitor.uploadSeries()->points().last().x(), 12.0);
        QCOMPARE(monitor.leftAxis()->max(), 45.0);
        QCOMPARE(bottomMaximum(monitor), 22);
        monitor.close();
    }

    void aWideWindowKeepsAboutTwoPointsAPixel()
    {
        TfrmMonitor monitor(reading(), m_numbers, m_locale, m_clock);
        monitor.resize(1800, 400);
        monitor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&monitor));
        const double plotWidth = monitor.chartView()->chart()->plotArea().width();
        QVERIFY(plotWidth > 1000);
        QVERIFY(monitor.model().capacity() >= static_cast<std::size_t>(2 * plotWidth) - 1);
        monitor.close();
    }

    // Past its capacity the chart holds the merged history, not every sample.
    void theChartFollowsTheBoundedHistory()
    {
        TfrmMonitor monitor(reading(), m_numbers, m_locale, m_clock);
        const std::size_t capacity = monitor.model().capacity();
        for (std::size_t i = 0; i < 3 * capacity + 7; ++i) {
            setSpeeds(i % 97 == 0 ? 250 : 4, i % 13 == 0 ? 9 : 1);
            monitor.takeSample();
            if (i % 301 == 0 || i + 1 == 3 * capacity + 7) {
                QCOMPARE(monitor.downloadSeries()->points(), toPoints(monitor.model().downloadPoints()));
                QCOMPARE(monitor.uploadSeries()->points(), toPoints(monitor.model().uploadPoints()));
            }
        }
        QVERIFY(static_cast<std::size_t>(monitor.downloadSeries()->count()) <= capacity);
        QCOMPARE(monitor.leftAxis()->max(), 255.0);
    }
};

} // namespace tavlor

QTEST_MAIN(tavlor::TfrmMonitorTest)
#include "ufrmMonitor_test.moc"
