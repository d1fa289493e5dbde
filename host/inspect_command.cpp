// `cadence-host inspect`: everything the module tells a host about itself.
#include <QByteArray>

#include "commands.h"
#include "name_listing.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

constexpr uint64_t kMaxIdBytesShown = 64;

const char* orNone(const char* text) { return text ? text : "(none)"; }

void printField(std::FILE* out, const char* label, const QString& value) {
  std::fprintf(out, "%-18s %s\n", label, value.toUtf8().constData());
}

QString binaryIdText(IVelClcBinary* binary) {
  const uint64_t size = binary->getBinaryIdSize();
  const uint8_t* bytes = binary->getBinaryId();
  if (!bytes) return QStringLiteral("(none)");
  QStringList hex;
  for (uint64_t i = 0; i < size && i < kMaxIdBytesShown; ++i) {
    hex << QString::number(bytes[i], 16).rightJustified(2, '0');
  }
  QString text = hex.join(QStringLiteral(" "));
  if (size > kMaxIdBytesShown) text += QStringLiteral(" ...");
  return text + QStringLiteral(" (%1 bytes)").arg(size);
}

void printNames(std::FILE* out, IVelComponent* component, const VelID& classId) {
  IVelUnknown* object = nullptr;
  const uint32_t status = component->createInstance(classId, &object);
  if (!object) {
    std::fprintf(out, "    (no instance: createInstance gave status %u)\n", status);
    return;
  }
  IPtr<IVelUnknown> keep(object);
  const NameListing listing = listNames(object);
  std::fprintf(out, "    answers to:\n");
  for (const ListedName& name : listing.names) {
    if (name.isClass) {
      std::fprintf(out, "      %-22s class\n", name.name.c_str());
    } else {
      std::fprintf(out, "      %-22s interface of %s\n", name.name.c_str(),
                   name.owner.empty() ? "(no class)" : name.owner.c_str());
    }
  }
  if (listing.names.empty()) std::fprintf(out, "      (nothing listed)\n");
  if (listing.stopped) std::fprintf(out, "      (the listing was stopped)\n");
}

}  // namespace

int inspectModule(LoadedModule& module, std::FILE* out, std::FILE* err) {
  IVelComponent* component = module.component();
  IVelCompInternal* internal = module.internal();
  if (!internal) {
    std::fprintf(err, "cadence-host: the component does not answer 'IVelCompInternal'\n");
    return kExitModule;
  }
  printField(out, "module", QString::fromUtf8(orNone(internal->getModuleName())));
  printField(out, "file", module.path());
  printField(out, "interface version", QString::number(module.interfaceVersion()));
  const QtLinkage& qt = module.qtLinkage();
  printField(out, "built with Qt",
             qt.major ? QStringLiteral("%1 (%2)").arg(qt.major).arg(qt.library)
                      : QStringLiteral("(links no Qt core library)"));
  printField(out, "compiler family", QString::fromLatin1(familyName(moduleFileFamily(module.path()))));
  printField(out, "build date", QString::fromUtf8(orNone(component->getBuildDate())));
  const VelID* componentId = internal->getComponentId();
  printField(out, "component id", componentId ? idText(*componentId) : QStringLiteral("(none)"));
  if (IVelClcBinary* binary = component->getBinary()) {
    printField(out, "binary version", QString::number(binary->getBinaryVersion()));
    printField(out, "binary id", binaryIdText(binary));
  } else {
    printField(out, "binary", QStringLiteral("(none)"));
  }
  const uint32_t count = internal->getClassCount();
  printField(out, "classes", QString::number(count));
  VelID classId;
  // The cursor is bounded by the count the module reported, in case it never ends.
  bool more = internal->getFirstClassId(classId);
  for (uint32_t listed = 0; more && listed < count; ++listed) {
    const VelID current = classId;
    std::fprintf(out, "  %s  %s\n", idText(current).toUtf8().constData(), orNone(internal->getClassNameOf(current)));
    more = internal->getNextClassId(classId);
    printNames(out, component, current);
  }
  std::fflush(out);
  return kExitOk;
}

}  // namespace cadence::host
