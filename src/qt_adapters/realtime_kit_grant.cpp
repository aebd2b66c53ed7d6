#include "qt_adapters/realtime_kit_grant.h"

#include <sys/resource.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace m797::qt_adapters {

namespace {

const QString kService = QStringLiteral("org.freedesktop.RealtimeKit1");
const QString kPath = QStringLiteral("/org/freedesktop/RealtimeKit1");
const QString kInterface = QStringLiteral("org.freedesktop.RealtimeKit1");

// A blocking call on the system bus: the caller's event loop does not run meanwhile, so nothing
// of the program runs between the request and the wake-up it is for.
QDBusMessage Call(const QDBusMessage& request) {
  return QDBusConnection::systemBus().call(request, QDBus::Block,
                                           RealtimeKitGrant::kAnswerTimeoutMs);
}

// What an error answer says: its name and its text.
std::string ErrorOf(const QDBusMessage& reply) {
  if (reply.type() != QDBusMessage::ErrorMessage) return "no answer";
  return (reply.errorName() + QStringLiteral(": ") + reply.errorMessage()).toStdString();
}

// The value of one of the service's properties, or an invalid QVariant with the reason.
QVariant Property(const QString& name, std::string& refusal) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << kInterface << name;
  const QDBusMessage reply = Call(get);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    refusal = ErrorOf(reply);
    return {};
  }
  return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

// RealtimeKit serves only a process whose real-time CPU time is bounded by at most `usec_max`.
bool BoundRealTimeCpuTime(long long usec_max, std::string& refusal) {
  rlimit limit{};
  if (getrlimit(RLIMIT_RTTIME, &limit) == 0 && limit.rlim_max != RLIM_INFINITY &&
      limit.rlim_max <= static_cast<rlim_t>(usec_max) && limit.rlim_cur <= limit.rlim_max) {
    return true;
  }
  limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(usec_max);
  if (setrlimit(RLIMIT_RTTIME, &limit) != 0) {
    refusal = std::string("setting RLIMIT_RTTIME: ") + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace

RealtimeKitGrant::RealtimeKitGrant() {
  session::SetRealTimeGrant(this);
}

RealtimeKitGrant::~RealtimeKitGrant() {
  session::SetRealTimeGrant(nullptr);
}

bool RealtimeKitGrant::ReadLimits(std::string& refusal) {
  if (limits_read_) return true;
  const QVariant max_priority = Property(QStringLiteral("MaxRealtimePriority"), refusal);
  if (!max_priority.isValid()) return false;
  const QVariant rttime_usec_max = Property(QStringLiteral("RTTimeUSecMax"), refusal);
  if (!rttime_usec_max.isValid()) return false;
  max_priority_ = max_priority.toInt();
  rttime_usec_max_ = rttime_usec_max.toLongLong();
  if (max_priority_ < 1 || rttime_usec_max_ < 1) {
    refusal = "it grants no real-time priority";
    return false;
  }
  limits_read_ = true;
  return true;
}

bool RealtimeKitGrant::MakeThreadRealTime(std::uint64_t thread_id, int priority,
                                          std::string& refusal) {
  const std::lock_guard lock(mutex_);
  if (!QDBusConnection::systemBus().isConnected()) {
    refusal = "no system bus: " + QDBusConnection::systemBus().lastError().message().toStdString();
    return false;
  }
  if (!ReadLimits(refusal) || !BoundRealTimeCpuTime(rttime_usec_max_, refusal)) return false;
  QDBusMessage request = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                        QStringLiteral("MakeThreadRealtime"));
  request << static_cast<qulonglong>(thread_id)
          << static_cast<uint>(std::min(priority, max_priority_));
  const QDBusMessage reply = Call(request);
  if (reply.type() != QDBusMessage::ReplyMessage) {
    refusal = ErrorOf(reply);
    return false;
  }
  return true;
}

}  // namespace m797::qt_adapters
