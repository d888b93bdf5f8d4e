#include "app/LongWork.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

// Eats the user's input everywhere but in the progress dialog, so no command starts while
// the work runs; painting and timers go on.
class InputGate : public QObject {
public:
    QWidget* open = nullptr; // the progress dialog, once shown
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::Drop: {
            // Input comes to a window first and is then sent on to the widget under it: only
            // the widget decides (the dialog's Cancel must get its click).
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget && !(open && (widget == open || open->isAncestorOf(widget)));
        }
        case QEvent::Shortcut: // sent to the action or shortcut itself: no menu command starts
            // meanwhile, but the dialog's own shortcut (Escape) is its to take
            for (const QObject* o = watched; o; o = o->parent())
                if (open && o == open)
                    return false;
            return true;
        case QEvent::Close: { // the editor's windows stay while the work reads their data
            auto* widget = qobject_cast<QWidget*>(watched);
            return widget && widget != open && widget->windowType() == Qt::Window;
        }
        default:
            return false;
        }
    }
};

} // namespace

bool RunWithProgress(QWidget* owner, const QString& what,
                     const std::function<void(CProgress&)>& work) {
    CProgress progress;
    std::exception_ptr failure;
    bool stopped = false;
    std::mutex lock;
    std::condition_variable ended;
    bool finished = false;
    QEventLoop loop;
    std::thread worker([&] {
        try {
            work(progress);
        } catch (const OperationCancelled&) {
            stopped = true;
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> hold(lock);
            finished = true;
        }
        ended.notify_one();
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // Most work ends before anyone could notice: then no event is handled meanwhile.
    bool quick;
    {
        std::unique_lock<std::mutex> hold(lock);
        quick = ended.wait_for(hold, std::chrono::milliseconds(100), [&] { return finished; });
    }
    if (!quick) {
        InputGate gate;
        qApp->installEventFilter(&gate);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        QProgressDialog dialog(what, QStringLiteral("Cancel"), 0, 1000, owner);
        dialog.setObjectName(QStringLiteral("progress"));
        dialog.setWindowTitle(QStringLiteral("Tarvelin"));
        dialog.setAutoReset(false);
        dialog.setAutoClose(false);
        dialog.setMinimumDuration(1 << 30); // shown by the timer below, not by setValue
        dialog.hide();
        auto cancel = [&] {
            if (progress.Cancelled() || !progress.Cancellable())
                return;
            progress.Cancel();
            dialog.setLabelText(QStringLiteral("Cancelling..."));
        };
        QObject::connect(&dialog, &QProgressDialog::canceled, cancel);
        QObject::connect(&dialog, &QDialog::rejected, cancel); // Escape hides it, says nothing

        QElapsedTimer clock;
        clock.start();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (dialog.wasCanceled()) // Escape, or cancel() called directly
                cancel();
            if (!dialog.isVisible() && clock.elapsed() >= ProgressDelayMs - 100 &&
                !progress.Cancelled()) {
                dialog.show();
                dialog.raise();
                dialog.activateWindow(); // Escape reaches it without a click first
                gate.open = &dialog;
            }
            const double done = progress.Done();
            if (done < 0) {
                dialog.setRange(0, 0); // a busy bar: how far is not known
            } else {
                dialog.setRange(0, 1000);
                dialog.setValue(int(std::clamp(done, 0.0, 1.0) * 1000));
            }
            if (auto* cancel = dialog.findChild<QPushButton*>())
                cancel->setEnabled(progress.Cancellable() && !progress.Cancelled());
        });
        tick.start(50);
        bool running;
        {
            const std::lock_guard<std::mutex> hold(lock);
            running = !finished;
        }
        if (running)
            loop.exec();
        tick.stop();
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(&gate);
    }
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return !stopped && !(progress.Cancelled() && progress.Cancellable());
}
