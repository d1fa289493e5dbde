// The reference host's object and services: the registry, the atomic
// reference-count hooks and the watch list, the four services, and the
// enumeration record the host builds.
#include <gtest/gtest.h>

#include <QFile>

#include <limits>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>

#include <cstdlib>
#endif

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_string.h"
#include "host/host_os.h"
#include "host/host_services.h"
#include "host/name_listing.h"
#include "host/reference_host.h"
#include "qt/qt_versions.h"
#include "tests/support/temporary_directory.h"
#include "tests/support/test_host.h"

namespace cadence::host {
namespace {

// A plain counted object for the hooks: records whether it was destroyed.
class Probe final : public IVelUnknown {
 public:
  explicit Probe(bool* destroyed) : destroyed_(destroyed) {}
  ~Probe() override { *destroyed_ = true; }
  void queryInterface(const char*, void* target) override {}
  const char* getClassName() override { return "Probe"; }

 private:
  bool* destroyed_;
};

template <class I>
I* lookUp(ReferenceHost& host, const char* name) {
  void* slot = nullptr;
  host.getService(VelCString(name), &slot);
  return static_cast<I*>(slot);
}

std::string textOf(const VelString& value) { return utf8Of(value); }

// --- registry -------------------------------------------------------------

TEST(ReferenceHostRegistry, HandsOutTheRequestedInterfacePartOfEachService) {
  ReferenceHost host;
  offerHostServices(host, {}, QStringLiteral("/tmp/here"), QStringLiteral("/tmp/here"));
  for (const char* name : {"IVelErrorService", "IDataStore", "IVelDirService", "IVelMManager"}) {
    void* slot = nullptr;
    EXPECT_EQ(host.getService(VelCString(name), &slot), 1) << name;
    ASSERT_NE(slot, nullptr) << name;
  }
  // The slot holds the interface pointer itself, usable without any cast.
  auto* dirs = lookUp<IVelDirService>(host, "IVelDirService");
  EXPECT_EQ(textOf(dirs->directoryFor("temp")), "/tmp/here");
  auto* manager = lookUp<VelMM::IVelMManager>(host, "IVelMManager");
  EXPECT_FALSE(manager->freeOneUnit());
}

TEST(ReferenceHostRegistry, LeavesTheSlotNullForNamesItDoesNotOffer) {
  ReferenceHost host;
  offerHostServices(host, {}, QStringLiteral("/tmp"), QStringLiteral("/tmp"));
  for (const char* name : {"IBucketMemoryPool", "IDataStor", "IDataStoreX", "idatastore", ""}) {
    void* slot = nullptr;
    EXPECT_EQ(host.getService(VelCString(name), &slot), 0) << name;
    EXPECT_EQ(slot, nullptr) << name;
  }
  void* slot = nullptr;
  EXPECT_EQ(host.getService(VelCString(), &slot), 0);
  EXPECT_EQ(slot, nullptr);
}

TEST(ReferenceHostRegistry, RemembersEachNameAskedForOnce) {
  ReferenceHost host;
  offerHostServices(host, {}, QStringLiteral("/tmp"), QStringLiteral("/tmp"));
  for (int i = 0; i < 3; ++i) {
    lookUp<IDataStore>(host, "IDataStore");
    lookUp<IVelUnknown>(host, "IBucketMemoryPool");
  }
  const auto lookups = host.lookups();
  ASSERT_EQ(lookups.size(), 2u);
  EXPECT_EQ(lookups[0].name, "IDataStore");
  EXPECT_TRUE(lookups[0].offered);
  EXPECT_EQ(lookups[1].name, "IBucketMemoryPool");
  EXPECT_FALSE(lookups[1].offered);
}

TEST(ReferenceHostRegistry, KeepsOneReferencePerServiceAndGivesItBackWhenDestroyed) {
  const int32_t before = liveCount(LiveKind::service);
  {
    ReferenceHost host;
    offerHostServices(host, {}, QStringLiteral("/tmp"), QStringLiteral("/tmp"));
    EXPECT_EQ(liveCount(LiveKind::service), before + 4);
    auto* store = lookUp<IDataStore>(host, "IDataStore");
    EXPECT_EQ(static_cast<IVelUnknown*>(store)->getRefCount(), 1);
  }
  EXPECT_EQ(liveCount(LiveKind::service), before);
}

// --- reference-count hooks -------------------------------------------------

TEST(ReferenceHostHooks, CountUpAndDownMarkTheDestroyedCountAndEndTheObjectOnItsLastRelease) {
  ReferenceHost host;
  int32_t counter = 0;
  host.addRefHook(&counter);
  host.addRefHook(&counter);
  EXPECT_EQ(counter, 2);
  EXPECT_FALSE(host.releaseRefHook(&counter));
  EXPECT_EQ(counter, 1);
  EXPECT_TRUE(host.releaseRefHook(&counter));
  EXPECT_EQ(counter, kVelDestroyingRefCount);
  int32_t uncounted = 0;  // never counted: not destroyed
  EXPECT_FALSE(host.releaseRefHook(&uncounted));
  EXPECT_EQ(uncounted, -1);

  cadence::test::ScopedHost installed(&host);
  bool destroyed = false;
  auto* probe = new Probe(&destroyed);
  probe->addRef();
  probe->addRef();
  probe->releaseRef();
  EXPECT_FALSE(destroyed);
  probe->releaseRef();
  EXPECT_TRUE(destroyed);
}

TEST(ReferenceHostWatch, CountsWatchedObjectsUntilTheirLastRelease) {
  ReferenceHost host;
  cadence::test::ScopedHost installed(&host);
  bool firstGone = false, secondGone = false, unwatchedGone = false;
  auto* first = new Probe(&firstGone);
  auto* second = new Probe(&secondGone);
  auto* unwatched = new Probe(&unwatchedGone);
  for (IVelUnknown* object :
       {static_cast<IVelUnknown*>(first), static_cast<IVelUnknown*>(second), static_cast<IVelUnknown*>(unwatched)}) {
    object->addRef();
  }
  host.watch(first);
  host.watch(second);
  host.watch(second);  // watching twice still counts once
  EXPECT_EQ(host.watchedAlive(), 2);
  unwatched->releaseRef();
  EXPECT_TRUE(unwatchedGone);
  EXPECT_EQ(host.watchedAlive(), 2);
  first->releaseRef();
  EXPECT_EQ(host.watchedAlive(), 1);
  second->releaseRef();
  EXPECT_EQ(host.watchedAlive(), 0);
  EXPECT_TRUE(firstGone && secondGone);
}

// --- services ----------------------------------------------------------------

TEST(HostErrorService, WritesTheMessageAsUtf8OnOneLine) {
  std::vector<std::string> lines;
  HostErrorService service([&](const std::string& line) { lines.push_back(line); });
  int32_t severity = 1;
  service.reportError(VelString::borrowing(u"Gr\u00fc\u00dfe \u2713 \U0001F600"), &severity, velEmptyBlockArray());
  service.reportError(VelString(), &severity, velEmptyBlockArray());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "cadence-host: error service: Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x9C\x93 \xF0\x9F\x98\x80\n");
  EXPECT_EQ(lines[1], "cadence-host: error service: \n");
}

TEST(HostServicesQuery, AnswerTheirClassNameUnknownAndInterfaceExactly) {
  HostErrorService service([](const std::string&) {});
  void* slot = nullptr;
  service.queryInterface("HostErrorService", &slot);
  EXPECT_EQ(slot, &service);
  service.queryInterface("IVelUnknown", &slot);
  EXPECT_EQ(slot, static_cast<IVelUnknown*>(&service));
  service.queryInterface("IVelErrorService", &slot);
  EXPECT_EQ(slot, static_cast<IVelErrorService*>(&service));
  for (const char* wrong : {"IVelErrorServic", "IVelErrorServiceX", "ivelerrorservice", "IDataStore"}) {
    slot = &service;
    service.queryInterface(wrong, &slot);
    EXPECT_EQ(slot, nullptr) << wrong;
  }
}

TEST(HostServicesQuery, ListTheirClassThenTheirInterfaceThroughTheEnumerationRecord) {
  HostDirService dirs(QStringLiteral("/tmp"));
  const NameListing listing = listNames(&dirs);
  EXPECT_FALSE(listing.stopped);
  ASSERT_EQ(listing.names.size(), 2u);
  EXPECT_EQ(listing.names[0].name, "HostDirService");
  EXPECT_TRUE(listing.names[0].isClass);
  EXPECT_EQ(listing.names[0].owner, "");
  EXPECT_EQ(listing.names[1].name, "IVelDirService");
  EXPECT_FALSE(listing.names[1].isClass);
  EXPECT_EQ(listing.names[1].owner, "HostDirService");
}

TEST(HostDataStore, DefaultsPutLogsInTheUserDirectoryAndTempInTheTemporaryOne) {
  HostDataStore store({}, QStringLiteral("/var/tmp/x"), QStringLiteral("/home/u/.local/state/cadence-host"));
  EXPECT_EQ(textOf(store.getString(kLogsDirectoryKey, 0)), "/home/u/.local/state/cadence-host");
  EXPECT_EQ(textOf(store.getString(kTempDirectoryKey, 0)), "/var/tmp/x");
  EXPECT_EQ(store.getString("No/Such Key", 0).text[0], u'\0');
  EXPECT_EQ(store.getString(nullptr, 0).text[0], u'\0');
  EXPECT_EQ(store.getBool(kUseErrorServiceKey, 0), 0);
  EXPECT_EQ(store.getBool(kUseErrorServiceKey, 1), 1);
}

TEST(HostDataStore, ReturnsStableReferencesThatLiveInTheStore) {
  HostDataStore store({}, QStringLiteral("/tmp/a"), QStringLiteral("/tmp/a"));
  const VelString& first = store.getString(kTempDirectoryKey, 0);
  const VelString& again = store.getString(kTempDirectoryKey, 0);
  EXPECT_EQ(&first, &again);
  EXPECT_EQ(first.textCapacity, 0);  // borrowed: the caller copies, nobody frees it
}

// A configuration of one key (QMap has no list initialiser on Qt 4).
QVariantMap oneValue(const char* key, const QString& value) {
  QVariantMap values;
  values.insert(QString::fromLatin1(key), value);
  return values;
}

TEST(HostDataStore, ReadsBooleanTextsAndFallsBackOnAnythingElse) {
  const std::vector<std::pair<QString, int32_t>> cases = {{"true", 1}, {"Yes", 1},   {"ON", 1},    {"1", 1},
                                                          {"7", 1},    {"false", 0}, {"No", 0},    {"off", 0},
                                                          {"0", 0},    {"", 0},      {" true ", 1}};
  for (const auto& [text, expected] : cases) {
    HostDataStore store(oneValue(kUseErrorServiceKey, text), QStringLiteral("/tmp"), QStringLiteral("/tmp"));
    EXPECT_EQ(store.getBool(kUseErrorServiceKey, 42), expected) << text.toStdString();
  }
  HostDataStore odd(oneValue(kUseErrorServiceKey, QStringLiteral("maybe")), QStringLiteral("/tmp"),
                    QStringLiteral("/tmp"));
  EXPECT_EQ(odd.getBool(kUseErrorServiceKey, 42), 42);
}

TEST(HostDataStore, ReadsKeysWithSpacesFromAnIniFile) {
  cadence::test::TemporaryDirectory dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("host.ini");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "[Directories]\nLogs Directory=/srv/logs\nTemp Directory=/srv/t\xc3\xa9mp\n"
      "[Memory]\nUseErrorService=true\n");
  file.close();
  QVariantMap values;
  QString reason;
  ASSERT_TRUE(readIniFile(path, &values, &reason)) << reason.toStdString();
  HostDataStore store(values, QStringLiteral("/tmp"), QStringLiteral("/tmp"));
  EXPECT_EQ(textOf(store.getString(kLogsDirectoryKey, 0)), "/srv/logs");
  EXPECT_EQ(textOf(store.getString(kTempDirectoryKey, 0)), "/srv/t\xc3\xa9mp");
  EXPECT_EQ(store.getBool(kUseErrorServiceKey, 0), 1);
}

// Writes `bytes` to a file of `dir` and reads it as the configuration.
bool readConfigBytes(const cadence::test::TemporaryDirectory& dir, const QByteArray& bytes, QVariantMap* values,
                     QString* reason) {
  const QString path = dir.filePath("host.ini");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  file.write(bytes);
  file.close();
  return readIniFile(path, values, reason);
}

TEST(HostDataStore, RefusesAConfigFileThatIsNotTextAndTakesAnEmptyOne) {
  cadence::test::TemporaryDirectory dir;
  ASSERT_TRUE(dir.isValid());
  const std::vector<std::pair<QByteArray, QString>> refused = {
      {QByteArray("\x7f"
                  "ELF\x02\x01\x01\x00\x00",
                  9),
       "not a text file (a NUL byte at offset 7)"},
      {QByteArray("[Memory]\nUseErrorService=1\n\x00", 28), "not a text file (a NUL byte at offset 27)"},
      {QByteArray("\xFF\xFE[\x00M\x00", 6), "not a text file (a NUL byte at offset 3)"},  // UTF-16
      {"[Directories]\nTemp Directory=/srv/t\xE9mp\n", "not UTF-8 text (byte 0xE9 at offset 35)"},
      {"[Memory]\nUseErrorService=\xC0\xAF\n", "not UTF-8 text (byte 0xC0 at offset 25)"},
      {QByteArray(static_cast<int>(kMaxConfigBytes) + 1, '#'),
       "too large for a configuration file (1048577 bytes, at most 1048576)"},
  };
  for (const auto& [bytes, expected] : refused) {
    QVariantMap values;
    QString reason;
    EXPECT_FALSE(readConfigBytes(dir, bytes, &values, &reason)) << expected.toStdString();
    EXPECT_EQ(reason, expected);
    EXPECT_TRUE(values.isEmpty());
  }
  QVariantMap values;
  QString reason;
  EXPECT_TRUE(readConfigBytes(dir, QByteArray(), &values, &reason)) << reason.toStdString();
  EXPECT_TRUE(values.isEmpty());
  EXPECT_TRUE(readConfigBytes(dir, "\xEF\xBB\xBF[Memory]\nUseErrorService=yes\n", &values, &reason))
      << reason.toStdString();  // a byte-order mark is UTF-8 too
  EXPECT_EQ(values.value(kUseErrorServiceKey).toString(), "yes");
}

// The INI text is read from one opening of a regular file; a missing file,
// a directory and a FIFO are refused at once.
TEST(HostDataStore, ReadsTheConfigurationFromARegularFileOnly) {
  cadence::test::TemporaryDirectory dir;
  ASSERT_TRUE(dir.isValid());
  QVariantMap values;
  QString reason;
  ASSERT_TRUE(readConfigBytes(dir,
                              "; comment\n# comment\nTop = 1\n[General]\nAlso=2\r\n[Directories]\n"
                              "  Logs Directory =  \"/srv/my logs\"  \n",
                              &values, &reason))
      << reason.toStdString();
  EXPECT_EQ(values.value("Top").toString(), "1");
  EXPECT_EQ(values.value("Also").toString(), "2");
  EXPECT_EQ(values.value(kLogsDirectoryKey).toString(), "/srv/my logs");
  EXPECT_FALSE(readConfigBytes(dir, "[Memory]\nUseErrorService\n", &values, &reason));
  EXPECT_EQ(reason, "not a valid INI file (line 2 is neither a [section] nor key=value)");
  EXPECT_FALSE(readIniFile(QStringLiteral("/no/such/dir/host.ini"), &values, &reason));
  EXPECT_EQ(reason, "no such file");
  EXPECT_FALSE(readIniFile(dir.path(), &values, &reason));
  EXPECT_EQ(reason, "not a readable file");
#ifndef _WIN32
  const QString fifo = dir.filePath("fifo.ini");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(readIniFile(fifo, &values, &reason));  // at once, not waiting for a writer
  EXPECT_EQ(reason, "not a readable file");
#endif
}

// A directory with a NUL in it would be cut where the NUL stands: it counts
// as not configured.
TEST(HostDataStore, AValueHoldingANulCountsAsNotConfigured) {
  const QString cut = QStringLiteral("/srv/ab") + QChar(0) + QStringLiteral("/../../etc");
  HostDataStore store(oneValue(kLogsDirectoryKey, cut), QStringLiteral("/tmp"), QStringLiteral("/tmp"));
  EXPECT_EQ(textOf(store.getString(kLogsDirectoryKey, 0)), "");
  HostDirService dirs(cut);
  EXPECT_EQ(textOf(dirs.directoryFor("temp")), "");
}

#ifndef _WIN32
// memory.log's default place is the user's own: made for its owner alone,
// and refused when someone else could write into it.
TEST(UserStateDirectory, IsTheUsersOwnAndClosedToOthers) {
  cadence::test::TemporaryDirectory dir;
  ASSERT_TRUE(dir.isValid());
  const QByteArray saved = qgetenv("XDG_STATE_HOME");
  const QByteArray base = QFile::encodeName(dir.filePath("state"));
  setenv("XDG_STATE_HOME", base.constData(), 1);
  const QString made = userStateDirectory();
  EXPECT_EQ(made, dir.filePath("state/cadence-host"));
  struct stat info {};
  ASSERT_EQ(stat(QFile::encodeName(made).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  chmod(QFile::encodeName(made).constData(), 0770);
  EXPECT_EQ(userStateDirectory(), "");
  setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: the home's instead
  EXPECT_TRUE(userStateDirectory().endsWith("/.local/state/cadence-host")) << userStateDirectory().toStdString();
  if (saved.isNull()) {
    unsetenv("XDG_STATE_HOME");
  } else {
    setenv("XDG_STATE_HOME", saved.constData(), 1);
  }
}
#endif

TEST(HostDirService, NamesOnlyTheTemporaryDirectory) {
  HostDirService dirs(QStringLiteral("/tmp/d"));
  EXPECT_EQ(textOf(dirs.directoryFor("temp")), "/tmp/d");
  EXPECT_EQ(textOf(dirs.directoryFor("Temp")), "");
  EXPECT_EQ(textOf(dirs.directoryFor("logs")), "");
  EXPECT_EQ(textOf(dirs.directoryFor(nullptr)), "");
}

TEST(HostMemoryManager, GivesFiguresInWhole24KiBUnits) {
  MemoryFigures figures;
  figures.processResident = 24576 * 10 + 24575;
  figures.processSwapped = 24575;
  figures.physicalTotal = 24576ull * 1000;
  figures.swapTotal = std::numeric_limits<uint64_t>::max();
  HostMemoryManager manager([&] { return figures; });
  EXPECT_EQ(manager.coreNow(), 10);
  EXPECT_EQ(manager.swapNow(), 0);
  EXPECT_EQ(manager.coreLimit(), 1000);
  EXPECT_EQ(manager.swapLimit(), std::numeric_limits<int32_t>::max());
  EXPECT_FALSE(manager.freeOneUnit());
}

TEST(HostMemoryManager, ReadsThisProcesssRealMemoryUse) {
  HostMemoryManager manager;
  EXPECT_GT(manager.coreNow(), 0);
  EXPECT_GT(manager.coreLimit(), manager.coreNow());
  EXPECT_GE(manager.swapNow(), 0);
}

}  // namespace
}  // namespace cadence::host
