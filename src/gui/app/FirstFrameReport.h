#pragma once
// For the start-up benchmark only. With QUILLFORT_BENCH_FIRST_FRAME set in the
// environment, the program prints one line when its window's first frame has
// been painted, "first-frame <steady clock, ns> <peak memory, kB>", and quits.
// Without that variable nothing is installed and nothing changes.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace first_frame {

// VmHWM of this process in kB, 0 where /proc is not there.
inline long long peakMemoryKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  return 0;
}

class Probe final : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_seen) {
      m_seen = true;
      // The frame is complete once the paint that started it has been flushed:
      // report from the next turn of the event loop.
      QTimer::singleShot(0, this, [] {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("first-frame %lld %lld\n",
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    peakMemoryKb());
        std::fflush(stdout);
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(watched, event);
  }

private:
  bool m_seen = false;
};

inline void reportWhenPainted(QWidget* window) {
  if (qEnvironmentVariableIsEmpty("QUILLFORT_BENCH_FIRST_FRAME"))
    return;
  window->installEventFilter(new Probe(window));
}

} // namespace first_frame
