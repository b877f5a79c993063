#include "first_frame.h"

#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace orvane::bench {

namespace {

class FirstFrameFilter final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // The window paints first and its children after it in the same pass; a zero timer
            // fires once the whole frame is painted and flushed.
            QTimer::singleShot(0, this, &FirstFrameFilter::Report);
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

}  // namespace

void ReportFirstFrame(QWidget& window) {
    window.installEventFilter(new FirstFrameFilter(&window));
}

}  // namespace orvane::bench
