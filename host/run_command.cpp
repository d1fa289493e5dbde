// `cadence-host run` (and the demo): the module's timers alerting host
// listeners over the run's window, then an orderly shutdown that destroys
// every timer and listener the run made.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <QElapsedTimer>

#include "cadencehost/module_ids.h"
#include "cadencehost/vel_query.h"
#include "commands.h"
#include "reference_host.h"
#include "run_window.h"

namespace cadence::host {
namespace {

struct RunningTimer {
  VelCString name;  // borrows the listener's name, which outlives the registry entry
  Velmora::ITimer* timer = nullptr;
  HostTimerListener* listener = nullptr;
  IPtr<Velmora::ITimerListener> listenerRef;
};

struct SummaryRow {
  std::string name;
  int periodMs;
  int32_t alerts;
  double meanPeriodMs;
  double worstLatenessMs;
};

void printSummary(std::FILE* out, const std::vector<SummaryRow>& rows, double seconds, int nameColumns) {
  std::fprintf(out, "\nSummary after %.2f s:\n", seconds);
  std::fprintf(out, "  %s  %9s  %6s  %11s  %14s\n", padToColumns("timer", nameColumns).c_str(), "period", "alerts",
               "mean period", "worst lateness");
  for (const SummaryRow& row : rows) {
    std::fprintf(out, "  %s  %6d ms  %6d  ", padToColumns(row.name, nameColumns).c_str(), row.periodMs, row.alerts);
    if (row.alerts == 0) {
      std::fprintf(out, "%11s  %14s\n", "-", "-");
    } else {
      std::fprintf(out, "%8.1f ms  %11.1f ms\n", row.meanPeriodMs, row.worstLatenessMs);
    }
  }
}

}  // namespace

int runTimers(const CommandLine& line, LoadedModule& module, ReferenceHost& host, std::FILE* out, std::FILE* err) {
  const VelID classId = kVelTimerServiceClassId;
  IVelUnknown* object = nullptr;
  const uint32_t status = module.component()->createInstance(classId, &object);
  if (!object) {
    std::fprintf(err, "cadence-host: the module did not create the timer service %s (status %u)\n",
                 idText(classId).toUtf8().constData(), status);
    return kExitModule;
  }
  IPtr<IVelUnknown> service(object);
  auto* serviceV2 = velQueryAs<Velmora::ITimerServiceV2>(object);
  Velmora::ITimerService* timers = serviceV2 ? serviceV2 : velQueryAs<Velmora::ITimerService>(object);
  if (!timers) {
    std::fprintf(err, "cadence-host: the timer service answers neither 'ITimerServiceV2' nor 'ITimerService'\n");
    return kExitModule;
  }

  int nameColumns = columnsOf("timer");
  const int64_t windowMs = std::llround(line.seconds * 1000.0);
  int withDueAlerts = 0;
  for (const TimerRequest& request : line.timers) {
    nameColumns = std::max(nameColumns, columnsOf(request.name));
    if (dueAlerts(windowMs, request.periodMs) > 0) ++withDueAlerts;
  }
  RunWindow window(windowMs, withDueAlerts);

  QElapsedTimer clock;
  clock.start();
  std::vector<std::unique_ptr<RunningTimer>> running;
  for (const TimerRequest& request : line.timers) {
    auto entry = std::make_unique<RunningTimer>();
    HostTimerListener::Setup setup;
    setup.name = request.name;
    setup.periodMs = request.periodMs;
    setup.dueAlerts = dueAlerts(windowMs, request.periodMs);
    setup.nameColumns = nameColumns;
    setup.out = line.quiet ? nullptr : out;
    setup.onLastDueAlert = [&window] { window.listenerDone(); };
    entry->listener = new HostTimerListener(std::move(setup), clock);
    entry->listenerRef.assign(entry->listener);
    entry->name = VelCString(entry->listener->name().c_str());
    entry->timer = timers->createTimer(entry->name);
    if (!entry->timer) {
      std::fprintf(err, "cadence-host: the timer service created no timer for '%s'\n", request.name.c_str());
      return kExitModule;
    }
    host.watch(static_cast<IVelUnknown*>(entry->timer));
    entry->timer->addListener(entry->listener);
    running.push_back(std::move(entry));
  }
  if (line.verbose) {
    std::fprintf(err, "cadence-host: %zu timers created, running the event loop for %.2f s\n", running.size(),
                 line.seconds);
  }

  clock.restart();
  for (auto& entry : running) {
    entry->timer->start(entry->listener->periodMs());
    entry->listener->markStarted();
  }
  window.run();
  const double elapsedSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  if (line.verbose) {
    std::fprintf(err, "cadence-host: the event loop ran %.3f s for a window of %.3f s\n", elapsedSeconds,
                 static_cast<double>(windowMs) / 1000.0);
  }

  // Shutdown as a host application does it: tell the service, then take the
  // timers out of its registry (the registry's release destroys each one,
  // which releases the timer's reference on its listener).
  if (auto* shutdown = velQueryAs<IShutdownListener>(object)) shutdown->onShutdown();
  std::vector<SummaryRow> rows;
  for (auto& entry : running) {
    const AlertStats& stats = entry->listener->stats();
    rows.push_back(SummaryRow{entry->listener->name(), entry->listener->periodMs(), stats.alerts(),
                              stats.meanPeriodMs(), stats.worstLatenessMs()});
    if (serviceV2) serviceV2->removeTimer(entry->name);
  }
  printSummary(out, rows, static_cast<double>(windowMs) / 1000.0, nameColumns);
  std::fflush(out);

  running.clear();  // gives back the host's references on its listeners
  service.clear();
  const int32_t timersAlive = host.watchedAlive();
  const int32_t listenersAlive = liveCount(LiveKind::listener);
  if (line.verbose) {
    for (const ReferenceHost::Lookup& lookup : host.lookups()) {
      std::fprintf(err, "cadence-host: the module asked for service '%s' (%s)\n", lookup.name.c_str(),
                   lookup.offered ? "offered" : "not offered");
    }
    std::fprintf(err, "cadence-host: live objects after run: timers %d, listeners %d\n", timersAlive, listenersAlive);
  }
  if (timersAlive != 0 || listenersAlive != 0) {
    std::fprintf(err, "cadence-host: %d timers and %d listeners still alive after the run\n", timersAlive,
                 listenersAlive);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace cadence::host
