#include "qt_adapters/qt_main_thread_dispatcher.h"

#include <QMetaObject>
#include <QThread>
#include <utility>

namespace m797::qt_adapters {

QtMainThreadDispatcher::QtMainThreadDispatcher() = default;

void QtMainThreadDispatcher::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(&context_, std::move(call), Qt::QueuedConnection);
}

bool QtMainThreadDispatcher::OnMainThread() const {
  return QThread::currentThread() == context_.thread();
}

}  // namespace m797::qt_adapters
