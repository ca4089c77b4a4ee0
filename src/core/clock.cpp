#include "core/clock.h"

namespace {
std::function<QDateTime()>& Source() {
  static std::function<QDateTime()> source;
  return source;
}
}  // namespace

namespace Clock {
QDateTime Now() { return Source() ? Source()() : QDateTime::currentDateTime(); }
QDate Today() { return Now().date(); }
void SetSource(std::function<QDateTime()> source) { Source() = std::move(source); }
}  // namespace Clock

void Clock::PinTimeZone() {
  if (!qEnvironmentVariableIsSet("TZ")) qputenv("TZ", ":/etc/localtime");
}
