#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/LongWork.h"

namespace {

// Work of about `seconds`, stepping every 10 ms; `finished` tells whether it ran to its end.
std::function<void(CProgress&)> Work(double seconds, bool* finished = nullptr) {
    return [seconds, finished](CProgress& p) {
        const int steps = int(seconds * 100);
        for (int i = 0; i < steps; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            p.Step(double(i) / steps);
        }
        if (finished)
            *finished = true;
    };
}

QProgressDialog* Shown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible())
            return d;
    return nullptr;
}

// Acts on the progress dialog once it shows, however late a busy machine shows it.
void WhenShown(QObject* context, std::function<void(QProgressDialog*)> act) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (QProgressDialog* d = Shown()) {
            poll->stop();
            act(d);
        }
    });
    poll->start(20);
}

TEST(LongWork, QuickWorkShowsNothingAndHandlesNoEvent) {
    QWidget window;
    window.show();
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(RunWithProgress(&window, "Quick", Work(0.02)));
    EXPECT_FALSE(fired); // nothing else ran meanwhile
    QApplication::processEvents();
    EXPECT_TRUE(fired);
    EXPECT_THROW(RunWithProgress(&window, "Failing", [](CProgress&) { throw std::bad_alloc(); }),
                 std::bad_alloc);
}

TEST(LongWork, LongWorkShowsProgressAfterHalfASecondTakesNoInputAndCancels) {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    bool seenEarly = true, seenLate = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; }); // the loop goes on
    timer.start(20);
    bool triggered = false;
    auto* action = new QAction(&window);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, [&] { triggered = true; });
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(300, [&] {
        // A machine too busy to look before the delay has nothing to tell here.
        seenEarly = Shown() != nullptr && clock.elapsed() < ProgressDelayMs;
        QTest::keyClicks(edit, "typed"); // the editor takes no input meanwhile
        QTest::keyClick(window.windowHandle(), Qt::Key_Z, Qt::ControlModifier); // nor commands
    });
    double doneWhenShown = -1;
    WhenShown(&window, [&](QProgressDialog* d) {
        seenLate = true;
        EXPECT_GE(clock.elapsed(), ProgressDelayMs);
        EXPECT_EQ(d->labelText(), "Resampling...");
        doneWhenShown = double(d->value()) / d->maximum();
        // A click as the window system delivers it: to the dialog's window, then its button.
        auto* cancel = d->findChild<QAbstractButton*>();
        const QPoint at = cancel->mapTo(d, cancel->rect().center());
        QTest::mouseClick(d->windowHandle(), Qt::LeftButton, {}, at);
    });
    bool finished = false;
    EXPECT_FALSE(RunWithProgress(&window, "Resampling...", Work(5, &finished)));
    EXPECT_FALSE(seenEarly);
    EXPECT_TRUE(seenLate);
    EXPECT_GT(doneWhenShown, 0.05);
    EXPECT_FALSE(finished); // ended by Cancel, not by the work's end
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(edit->text(), "");
    EXPECT_FALSE(triggered);
    EXPECT_EQ(Shown(), nullptr);
}

TEST(LongWork, PastItsPointOfNoReturnWorkCannotBeCancelled) {
    QWidget window;
    window.show();
    bool seen = false, enabled = true;
    WhenShown(&window, [&](QProgressDialog* d) {
        seen = true;
        enabled = d->findChild<QAbstractButton*>()->isEnabled();
        d->cancel();
    });
    EXPECT_TRUE(RunWithProgress(&window, "Saving...", [](CProgress& p) {
        p.SetCancellable(false);
        Work(2.0)(p);
    }));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(enabled);
}

} // namespace

namespace {

// Escape in the dialog, as the window system delivers it, cancels as the button does.
TEST(LongWork, EscapeCancels) {
    QWidget window;
    window.show();
    bool seen = false, finished = false;
    WhenShown(&window, [&](QProgressDialog* d) {
        seen = true;
        QApplication::setActiveWindow(d); // as the window system gives it the keyboard
        QTest::keyClick(d->windowHandle(), Qt::Key_Escape);
    });
    EXPECT_FALSE(RunWithProgress(&window, "Opening...", Work(5, &finished)));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(finished);
}

} // namespace
