// The window program's start, probed: the same start-up as the program's own
// entry, with an application-wide filter that notes the first show event of
// a window (the confirmation dialog), answers the dialog with "JA" and
// "Weiter", notes the main window's first show event and then closes it.
// Prints, in milliseconds since the launcher's TM_BENCH_SPAWNED_NS (or since
// main when that is unset):
//   first_window_ms=N main_window_ms=N
#include "gui/qt/program_start.h"
#include "gui/qt/tfm_tlm_main.h"
#include "gui/qt/tfm_tlm_start.h"
#include "toolkit/application.h"

#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class ShowProbe : public QObject {
public:
    explicit ShowProbe(long long startNs) : startNs_(startNs) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show || !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow()) {
            return false;
        }
        if (firstNs_ == 0) {
            firstNs_ = NowNs();
        }
        if (auto* dialog = qobject_cast<tessaldrin::TfmTLMStart*>(widget)) {
            QTimer::singleShot(0, dialog, [dialog] {
                dialog->Edit1->setText("JA");
                dialog->bbtnWeiter->click();
            });
        } else if (auto* main = qobject_cast<tessaldrin::TfmTLMMain*>(widget); main && !mainNs_) {
            mainNs_ = NowNs();
            QTimer::singleShot(0, main, [main] { main->close(); });
        }
        return false;
    }

    void Print() const {
        std::printf("first_window_ms=%.3f main_window_ms=%.3f\n", Millis(firstNs_),
                    Millis(mainNs_));
    }

private:
    double Millis(long long ns) const { return ns == 0 ? -1.0 : (ns - startNs_) / 1e6; }

    long long startNs_;
    long long firstNs_ = 0;
    long long mainNs_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    const char* spawned = std::getenv("TM_BENCH_SPAWNED_NS");
    ShowProbe probe(spawned != nullptr ? std::atoll(spawned) : NowNs());
    tessaldrin::toolkit::TApplication application(argc, argv);
    application.installEventFilter(&probe);
    const int exitCode = tessaldrin::RunProgram(application);
    probe.Print();
    return exitCode;
}
