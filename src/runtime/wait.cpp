#include "runtime/wait.h"

#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>

#include <memory>

namespace tovrel {

void runWaiting(const std::function<void()>& work) {
    if (QCoreApplication::instance() == nullptr) {
        work();
        return;
    }
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create(work));
    // Queued: the worker may finish before the loop starts; the quit then waits in the queue.
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    const bool gui = qGuiApp != nullptr;
    if (gui) QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    worker->start();
    if (worker->isRunning() || worker->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    } else {
        work(); // no thread could be had: block rather than wait for an end that never comes
    }
    worker->wait();
    if (gui) QGuiApplication::restoreOverrideCursor();
}

} // namespace tovrel
