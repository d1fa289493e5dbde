// soak_run: holds the timer service under load for a while and checks that
// nothing is lost, nothing survives and memory stays flat.
//   soak_run [--seconds N] [--timers N] [--seed N] [--module PATH]
//            [--no-host-pool] [--fault drop-alert|stop-timer|leak-listener|grow-memory|keep-own-pool]
// Exit status 0 passed, 1 a check failed, 2 bad arguments, 3 the module
// could not be used.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#include "qt/qt_versions.h"
#include "tests/soak/soak_run.h"

using namespace cadence::soak;

namespace {

bool parseFault(const QString& text, Fault* fault) {
  if (text == "drop-alert")
    *fault = Fault::dropAlert;
  else if (text == "stop-timer")
    *fault = Fault::stopTimer;
  else if (text == "leak-listener")
    *fault = Fault::leakListener;
  else if (text == "grow-memory")
    *fault = Fault::growMemory;
  else if (text == "keep-own-pool")
    *fault = Fault::keepOwnPool;
  else
    return false;
  return true;
}

bool parsePositive(const QString& text, int low, int high, int* value) {
  bool ok = false;
  const int parsed = text.toInt(&ok);
  if (!ok || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  cadence::qt::useUtf8Text();
  QCoreApplication app(argc, argv);
  SoakOptions options;
  options.modulePath = QStringLiteral(MODULE_PATH);
  const QStringList arguments = QCoreApplication::arguments();
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    int number = 0;
    bool ok = true;
    if (argument == "--seconds" && hasValue) {
      ok = parsePositive(arguments[++i], 1, 7 * 24 * 3600, &options.seconds);
    } else if (argument == "--timers" && hasValue) {
      ok = parsePositive(arguments[++i], 4, 100000, &options.timers);
    } else if (argument == "--seed" && hasValue) {
      ok = parsePositive(arguments[++i], 0, 0x7FFFFFFF, &number);
      options.seed = static_cast<uint32_t>(number);
    } else if (argument == "--module" && hasValue) {
      options.modulePath = arguments[++i];
    } else if (argument == "--no-host-pool") {
      options.offerHostPool = false;
    } else if (argument == "--fault" && hasValue) {
      ok = parseFault(arguments[++i], &options.fault);
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr,
                   "soak_run: bad argument '%s'\nUsage: soak_run [--seconds N] [--timers N] [--seed N] [--module PATH] "
                   "[--no-host-pool] [--fault drop-alert|stop-timer|leak-listener|grow-memory|keep-own-pool]\n",
                   argument.toUtf8().constData());
      return kSoakUsage;
    }
  }
  return runSoak(options, stdout);
}
