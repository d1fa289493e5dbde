// cadence-host: the reference host of cadencehost_mod.so. Parses the command
// line, builds the host object with its services, loads and starts the
// module, and runs the chosen command.
#include <cstdio>

#include <QCoreApplication>
#include <QVariantMap>

#include "command_line.h"
#include "commands.h"
#include "host_os.h"
#include "host_services.h"
#include "module_loader.h"
#include "qt/qt_versions.h"

using namespace cadence::host;

namespace {

int usageError(const QString& error, const QString& hint) {
  std::fprintf(stderr, "cadence-host: %s\n%s\n", error.toUtf8().constData(), hint.toUtf8().constData());
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  cadence::qt::useUtf8Text();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("cadence-host"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CADENCE_HOST_VERSION));

  const ParsedCommandLine parsed = parseCommandLine(programArguments(argc, argv));
  if (!parsed.ok) return usageError(parsed.error, parsed.usageHint);
  const CommandLine& line = parsed.line;
  switch (line.command) {
    case Command::help: std::fputs(line.helpText.toUtf8().constData(), stdout); return kExitOk;
    case Command::version: std::printf("cadence-host %s (Qt %s)\n", CADENCE_HOST_VERSION, qVersion()); return kExitOk;
    case Command::validate: return validate::runValidateCommand(line, stdout, stderr);
    default: break;
  }

  QVariantMap config;
  QString reason;
  if (!line.configPath.isEmpty() && !readIniFile(line.configPath, &config, &reason)) {
    return usageError(QStringLiteral("cannot use --config '%1': %2").arg(printableArgument(line.configPath), reason),
                      QStringLiteral("Usage: cadence-host [inspect|run] --config FILE, FILE a readable INI file of "
                                     "UTF-8 text; see 'cadence-host --help'."));
  }
  ReferenceHost& host = installReferenceHost(config);

  const QString modulePath = findModule(line.modulePath, &reason);
  LoadedModule module;
  if (modulePath.isEmpty() || !module.load(modulePath, &host, &reason)) {
    std::fprintf(stderr, "cadence-host: %s\n", reason.toUtf8().constData());
    return kExitModule;
  }
  if (line.verbose) {
    std::fprintf(stderr, "cadence-host: loaded %s (interface version %u)\n", module.path().toUtf8().constData(),
                 module.interfaceVersion());
  }
  const int status = line.command == Command::inspect ? inspectModule(module, stdout, stderr)
                                                      : runTimers(line, module, host, stdout, stderr);
  module.release();
  return status;
}
