#pragma once

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <stop_token>
#include <thread>
#include <type_traits>
#include <utility>

// Runs one exchange with the devices at a time on a thread of its own, so
// that the window that asked keeps painting and answering while the devices
// take their time. The exchange gets a stop token that Cancel() sets; its
// result comes back to Done on the owner's thread, through the owner's
// event queue, and never after the owner is gone.
class Dcp_Worker {
public:
    explicit Dcp_Worker(QObject& Owner_) : Owner(&Owner_) {}
    // Asks the running exchange to stop and waits for it: it looks at its
    // token at least every few tens of milliseconds.
    ~Dcp_Worker()
    {
        Cancel();
        Wait();
    }
    Dcp_Worker(const Dcp_Worker&) = delete;
    Dcp_Worker& operator=(const Dcp_Worker&) = delete;

    // An exchange started and its result not yet handed to Done.
    bool Busy() const { return Running; }

    // Work(std::stop_token) runs on the worker's thread and touches no
    // widget; Done(result) runs on the owner's thread. Nothing else may run.
    template <class Work, class Done> void Start(Work&& Do, Done&& Then)
    {
        using Result = std::invoke_result_t<Work&, std::stop_token>;
        Wait();
        Running = true;
        // A result that comes after another exchange was started is dropped.
        const quint64 Mine = ++Started;
        Thread = std::jthread([Target = Owner, Busy = &Running, Latest = &Started, Mine, Do = std::forward<Work>(Do),
                               Then = std::forward<Done>(Then)](std::stop_token Stop) mutable {
            auto Out = std::make_shared<Result>(Do(Stop));
            // Queued to the owner's thread. The owner outlives this thread (its
            // worker waits for it), and Qt drops what is still queued when the
            // owner goes.
            QMetaObject::invokeMethod(
                Target,
                [Busy, Latest, Mine, Out, Then = std::move(Then)]() mutable {
                    if (*Latest != Mine)
                        return;
                    *Busy = false;
                    Then(std::move(*Out));
                },
                Qt::QueuedConnection);
        });
    }

    // Asks the running exchange to end early; its result still comes.
    void Cancel()
    {
        if (Thread.joinable())
            Thread.request_stop();
    }

private:
    void Wait()
    {
        if (Thread.joinable())
            Thread.join();
    }

    QObject* Owner;
    bool Running = false;
    quint64 Started = 0;
    std::jthread Thread;
};
