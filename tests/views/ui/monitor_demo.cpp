// Opens the monitor, feeds it a few minutes of generated speeds and saves a picture of it.
// Usage: monitor_demo <out.png> [samples, default 150]

#include "views/ui/ufrmMonitor.h"

#include "FakeClock.h"
#include "GermanLocale.h"
#include "model/TickReading.h"
#include "text/KvString.h"

#include <QApplication>
#include <QPixmap>

#include <cmath>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out.png>\n", argv[0]);
        return 2;
    }
    tavlor::TickReading reading;
    const tavlor::NumberFormat numbers(",");
    tavlor::test::GermanLocale locale;
    tavlor::test::FakeClock clock({2026, 12, 8, 17, 0, 0, 0});
    tavlor::TfrmMonitor monitor([&reading] { return reading; }, numbers, locale, clock);
    monitor.show();

    // Five minutes at one sample per two seconds: a download with two bursts over a steady upload.
    // More samples repeat the pattern, so a long history shows how it is merged.
    const int samples = argc > 2 ? std::atoi(argv[2]) : 150;
    for (int j = 0; j < samples; ++j) {
        const int i = j % 150;
        const double burst = (i > 30 && i < 70) ? 380 : (i > 100 && i < 120 ? 210 : 0);
        const double down = 40 + burst + 25 * std::sin(i / 4.0) + (i * 37 % 11);
        const double up = 12 + 6 * std::sin(i / 7.0) + (i * 13 % 5) + burst / 20;
        reading.downSpeed = down * 1024;
        reading.upSpeed = up * 1024;
        monitor.takeSample();
        clock.advanceMs(2000);
    }
    app.processEvents();
    if (!monitor.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
