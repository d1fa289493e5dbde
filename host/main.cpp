// cadence-host: the reference host of cadencehost_mod.so. Parses the command
// line, builds the host object with its services, loads and starts the
// module, and runs the chosen command.
#include <cstdio>

#include <QCoreApplication>
#include <QVariantMap>

#include "host/argument_text.h"
#include "host/command_line.h"
#include "host/commands.h"
#include "host/data_store.h"
#include "host/exit_status.h"
#include "host/host_setup.h"
#include "host/module_loader.h"
#include "host/validate/validate_command.h"
#include "qt/qt_versions.h"

using namespace cadence::host;

namespace {

void printUsageError(const QString& error, const QString& hint) {
  std::fprintf(stderr, "cadence-host: %s\n%s\n", error.toUtf8().constData(), hint.toUtf8().constData());
}

QString chooseModule(const CommandLine& line, QString* reason) {
  if (!line.modulePath.isEmpty()) return line.modulePath;
  const QStringList candidates = defaultModuleCandidates(QCoreApplication::applicationDirPath());
  const QString found = firstExisting(candidates);
  if (found.isEmpty()) {
    *reason = QStringLiteral("cannot find %1 (looked in %2); give its path with --module")
                  .arg(kModuleFileName, candidates.join(QStringLiteral(", ")));
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  cadence::qt::useUtf8Text();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("cadence-host"));
  QCoreApplication::setApplicationVersion(QStringLiteral(CADENCE_HOST_VERSION));

  // UTF-8 whatever the locale (UTF-16 on Windows), bytes that are not UTF-8
  // kept recognisable.
  const QStringList arguments = programArguments(argc, argv);
  if (validate::isValidateCommand(arguments)) return validate::runValidateCommand(arguments, stdout, stderr);
  const ParsedCommandLine parsed = parseCommandLine(arguments);
  if (!parsed.ok) {
    printUsageError(parsed.error, parsed.usageHint);
    return kExitUsage;
  }
  const CommandLine& line = parsed.line;
  if (line.command == Command::help) {
    std::fputs(line.helpText.toUtf8().constData(), stdout);
    return kExitOk;
  }
  if (line.command == Command::version) {
    std::printf("cadence-host %s (Qt %s)\n", CADENCE_HOST_VERSION, qVersion());
    return kExitOk;
  }

  QVariantMap config;
  if (!line.configPath.isEmpty()) {
    QString reason;
    if (!readIniFile(line.configPath, &config, &reason)) {
      printUsageError(QStringLiteral("cannot use --config '%1': %2").arg(printableArgument(line.configPath), reason),
                      QStringLiteral("Usage: cadence-host [inspect|run] --config FILE, FILE a readable INI file of UTF-8 text; see 'cadence-host --help'."));
      return kExitUsage;
    }
  }
  ReferenceHost& host = installReferenceHost(config);

  QString reason;
  const QString modulePath = chooseModule(line, &reason);
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
