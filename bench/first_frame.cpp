// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up probe, linked into the editor's own main and into the floor: when the first
// window's first frame has been painted, it prints the moment, the processor time and the peak
// memory so far, then ends the program. It installs itself when the application is constructed,
// so the program under measurement needs no hook of its own.
//
// The line printed: "frame_ns=<CLOCK_MONOTONIC> maxrss_kb=<peak> cpu_us=<user+system>". The
// harness compares the moment with its own clock taken before it started the process.

#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {

class FirstFrameProbe final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            // The window paints first and its children after it in the same pass; a zero timer
            // fires once the whole frame is painted and flushed.
            QTimer::singleShot(0, this, &FirstFrameProbe::Report);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static void Report() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const auto micros = [](const timeval& t) {
            return static_cast<long long>(t.tv_sec) * 1'000'000LL + t.tv_usec;
        };
        std::printf("frame_ns=%lld maxrss_kb=%ld cpu_us=%lld\n",
                    static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec,
                    usage.ru_maxrss, micros(usage.ru_utime) + micros(usage.ru_stime));
        std::fflush(stdout);
        QApplication::exit(0);
    }

    bool m_seen = false;
};

void InstallProbe() {
    qApp->installEventFilter(new FirstFrameProbe(qApp));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
