#pragma once
// Work that reads or writes a whole log runs on a thread of its own, so the window that asked for it keeps
// painting and answering; its result comes back to the window's thread through the event loop.

#include <QObject>
#include <QPointer>
#include <QThread>

#include <utility>

namespace marvane {

// Runs work(deliver) on a new thread. work calls deliver(result) once, as soon as the result is ready, so that
// freeing what it used afterwards does not delay it; done(result) then runs on context's thread. When context
// is deleted first, the result is dropped. The thread deletes itself when it ends; the returned pointer turns
// null then, and an owner that goes away first waits for it (QThread::wait), so that no work outlives it.
template <typename Result, typename Work, typename Done>
QPointer<QThread> RunInBackground(QObject* context, Work work, Done done) {
  // Lives on this thread until the work has ended; results are posted to it.
  auto* relay = new QObject;
  const QPointer<QObject> target(context);
  QThread* thread = QThread::create([relay, target, work = std::move(work), done = std::move(done)]() mutable {
    work([&](Result result) {
      QMetaObject::invokeMethod(
          relay,
          [target, done, result = std::move(result)]() mutable {
            if (target) done(std::move(result));
          },
          Qt::QueuedConnection);
    });
  });
  QObject::connect(thread, &QThread::finished, relay, &QObject::deleteLater);
  QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  thread->start();
  return thread;
}

}  // namespace marvane
