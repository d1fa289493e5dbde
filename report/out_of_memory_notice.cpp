// The out-of-memory notice: the translated text goes to the host's error
// service when "Memory/UseErrorService" is set, else to the notice box, with
// the host's rendering paused while it is shown.
#include "report/out_of_memory_notice.h"

#include <optional>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "platform/notice.h"
#include "text/translator_holder.h"
#include "text/vel_trivial_translator.h"

namespace cadence::report {

namespace {

constexpr const char* kNoticeText =
    "While running this function, you have run out of memory.\n"
    "The application will close. After restarting, please read\n"
    "the online help about \"Memory Optimization\".";
constexpr const char16_t* kNoticeCaption = u"Out of Memory";
constexpr uint32_t kNoticeStyleOk = 0;

// Suspends the host's rendering on construction and resumes it when it ends,
// also when the notice is left by an exception. The renderer is looked up
// afresh each time.
class RenderingPause {
 public:
  RenderingPause() {
    SPtr<IGfxRenderer, IVelUnknown> renderer;
    if (renderer) renderer->suspendRendering();
    pending_ = 1;
  }
  ~RenderingPause() { end(); }
  RenderingPause(const RenderingPause&) = delete;
  RenderingPause& operator=(const RenderingPause&) = delete;

  void end() {
    if (pending_ <= 0) return;
    SPtr<IGfxRenderer, IVelUnknown> renderer;
    if (renderer) renderer->resumeRendering();
    --pending_;
  }

 private:
  int32_t pending_ = 0;
};

}  // namespace

bool showOutOfMemoryNotice(int32_t reasonCode) {
  // Without a data store the notice goes to the box, as with a store
  // without the key.
  SPtr<IDataStore, IVelUnknown> store;
  const bool useErrorService = store && store->getBool(IDataStore::kUseErrorServiceKey, 0) != 0;
  std::optional<SPtr<IVelErrorService, IVelUnknown>> errorService;
  if (useErrorService) {
    errorService.emplace();
    if (!*errorService) return false;  // asked for, but missing: nothing is shown
  }
  if (reasonCode < -5 || reasonCode > -1) return false;

  const VelString text = getTranslator()->translate(kNoticeText);
  RenderingPause pause;
  if (useErrorService) {
    int32_t severity = 1;
    (*errorService)->reportError(text, &severity, velEmptyBlockArray());
  } else {
    cadence::port::notice().show(text.text ? text.text : u"", kNoticeCaption, kNoticeStyleOk);
  }
  pause.end();
  return false;
}

}  // namespace cadence::report
