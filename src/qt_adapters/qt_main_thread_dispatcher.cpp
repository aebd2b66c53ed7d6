#include "qt_adapters/qt_main_thread_dispatcher.h"

#include <QMetaObject>
#include <QThread>
#include <utility>

namespace m797::qt_adapters {

QtMainThreadDispatcher::QtMainThreadDispatcher() = default;

void QtMainThreadDispatcher::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(
      &context_,
      [this, call = std::move(call)]() mutable {
        if (gate_)
          gate_->Run(std::move(call));
        else
          call();
      },
      Qt::QueuedConnection);
}

bool QtMainThreadDispatcher::OnMainThread() const {
  return QThread::currentThread() == context_.thread();
}

}  // namespace m797::qt_adapters
